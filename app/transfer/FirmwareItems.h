#pragma once
// The firmware update dialog's skin items and the geometry of its pictures and controls.
// Qt-free constexpr data shared by the dialog and the skin painter.

#include <array>

#include "shell/SkinItem.h"

// Skin bitmaps: background, every element hovered, the progress strip filled.
inline constexpr int kFirmwareBackgroundBitmap = 128;
inline constexpr int kFirmwareHoverBitmap = 129;
inline constexpr int kFirmwareFillBitmap = 130;

// Size of the three pictures, and so of the dialog.
inline constexpr SkinSize kFirmwareSkinSize{375, 255};

// The progress strip, filled from the left as in the progress dialog.
inline constexpr SkinRect kFirmwareStrip = skinRectAt(40, 150, 290, 22);

// The two read-only fields the dialog places over its picture.
inline constexpr SkinRect kFirmwareVersionField = skinRectAt(44, 78, 162, 18);
inline constexpr SkinRect kFirmwareFileField = skinRectAt(112, 116, 143, 19);

enum FirmwareId : int {
    kFirmwareClose = 89,
    kFirmwareGetVersion = 90,
    kFirmwareOpen = 91,
    kFirmwareUpdate = 92,
    kFirmwareCancel = 93,
};

// The dialog keeps a table of 107 items; the first eleven are used, the rest keep id -1.
inline constexpr int kFirmwareItemCount = 107;

namespace firmware_items_detail {

constexpr SkinItem item(int id, SkinRect rect, const char* zhCN, const char* enUS, bool textOnly) {
    SkinItem it;
    it.id = id;
    it.rect = rect;
    it.text = {zhCN, enUS};
    it.textOnly = textOnly;
    return it;
}

constexpr std::array<SkinItem, kFirmwareItemCount> make() {
    std::array<SkinItem, kFirmwareItemCount> items{};
    int n = 0;
    // Clickable: their texts are not drawn; the captions below lie over them.
    items[n++] = item(kFirmwareClose, {332, 9, 355, 45}, nullptr, nullptr, false);
    items[n++] = item(kFirmwareGetVersion, {220, 70, 333, 100}, "获取固件版本", "Default", false);
    items[n++] = item(kFirmwareOpen, {270, 108, 333, 140}, "打开", "Open", false);
    items[n++] = item(kFirmwareUpdate, {47, 201, 129, 235}, "更新", "Update", false);
    items[n++] = item(kFirmwareCancel, {237, 201, 327, 235}, "取消", "Cancel", false);
    items[n++] = item(187, {42, 116, 119, 135}, "载入文件：", "File", true);
    items[n++] = item(188, {100, 13, 266, 45}, "键盘固件升级", "Firmware Update", true);
    items[n++] = item(190, {220, 76, 333, 100}, "获取固件版本", "Get Version", true);
    items[n++] = item(191, {270, 116, 333, 138}, "打开", "Open", true);
    items[n++] = item(192, {47, 209, 129, 235}, "更新", "Update", true);
    items[n++] = item(193, {237, 209, 327, 235}, "取消", "Cancel", true);
    return items;
}

}  // namespace firmware_items_detail

inline constexpr std::array<SkinItem, kFirmwareItemCount> kFirmwareItems = firmware_items_detail::make();
