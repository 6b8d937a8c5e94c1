#pragma once
// The progress dialog's skin items and the geometry of its pictures. Qt-free constexpr data
// shared by the dialog and the skin painter. The firmware dialog (FirmwareItems.h) has the
// same frame, close box, cancel button and progress strip.

#include <array>

#include "shell/SkinItem.h"

// Skin bitmaps: background, every element hovered, the progress strip filled.
inline constexpr int kProgressBackgroundBitmap = 139;
inline constexpr int kProgressHoverBitmap = 140;
inline constexpr int kProgressFillBitmap = 141;

// Size of the three pictures, and so of the dialog.
inline constexpr SkinSize kProgressSkinSize{375, 255};

// The progress strip: the left percent * width / 100 pixels are copied from the fill picture.
inline constexpr SkinRect kProgressStrip = skinRectAt(40, 150, 290, 22);

enum ProgressId : int {
    kProgressClose = 89,
    kProgressCancel = 93,
};

// The dialog keeps a table of 107 items; the first five are used, the rest keep id -1.
inline constexpr int kProgressItemCount = 107;

namespace progress_items_detail {

constexpr SkinItem item(int id, SkinRect rect, const char* zhCN, const char* enUS, bool textOnly) {
    SkinItem it;
    it.id = id;
    it.rect = rect;
    it.text = {zhCN, enUS};
    it.textOnly = textOnly;
    return it;
}

constexpr std::array<SkinItem, kProgressItemCount> make() {
    std::array<SkinItem, kProgressItemCount> items{};
    items[0] = item(kProgressClose, {332, 9, 355, 45}, nullptr, nullptr, false);
    items[1] = item(kProgressCancel, {237, 201, 327, 235}, "取消", "Cancel", false);
    items[2] = item(187, {42, 116, 333, 135}, "正在读写键盘，请勿插拔！", "Keep the keyboard connected!", true);
    items[3] = item(188, {100, 13, 266, 45}, "读写进度", "Progress", true);
    items[4] = item(193, {237, 209, 327, 235}, "取消", "Cancel", true);
    return items;
}

}  // namespace progress_items_detail

inline constexpr std::array<SkinItem, kProgressItemCount> kProgressItems = progress_items_detail::make();
