#pragma once
// The main window's 109 skin items and the geometry its pictures are drawn for. Qt-free
// constexpr data: the window hit-tests and paints from it, the skin painter draws from it.

#include <array>

#include "model/KeyTable.h"
#include "shell/SkinItem.h"

// Skin bitmaps: the background (the whole window), every element hovered, every element active.
inline constexpr int kMainWindowBackgroundBitmap = 101;
inline constexpr int kMainWindowHoverBitmap = 102;
inline constexpr int kMainWindowActiveBitmap = 103;

// Size of the three pictures, and so of the window.
inline constexpr SkinSize kMainWindowSkinSize{1170, 680};

// The information box (the window's one real control), in client pixels.
inline constexpr SkinRect kMainWindowInfoBox = skinRectAt(47, 506, 913, 144);

// Ids of the clickable items; a key's id is kMainKeyIdBase + key number.
enum MainWindowId : int {
    kMainLanguage = 85,
    kMainHelp = 87,
    kMainHide = 88,
    kMainExit = 89,
    kMainSave = 90,
    kMainOpen = 91,
    kMainClear = 92,
    kMainWriteKeys = 93,
    kMainLightSet = 94,
    kMainReadAll = 95,
    kMainUpdate = 96,
    kMainLevel = 97,
    kMainKeyIdBase = 99,
};

inline constexpr int kMainWindowItemCount = 109;
inline constexpr int kMainWindowFirstKeyItem = 12;  // items 12..98: item 11 + k is key k
inline constexpr int kMainWindowLevelItem = 11;

namespace mainwindow_items_detail {

constexpr SkinItem area(int id, SkinRect rect) {
    SkinItem item;
    item.id = id;
    item.rect = rect;
    return item;
}

constexpr SkinItem label(int id, SkinRect rect, const char* zhCN, const char* enUS) {
    SkinItem item;
    item.id = id;
    item.rect = rect;
    item.text = {zhCN, enUS};
    item.textOnly = true;
    return item;
}

constexpr std::array<SkinItem, kMainWindowItemCount> make() {
    std::array<SkinItem, kMainWindowItemCount> items{};
    int n = 0;
    // Clickable areas; they draw no text, the labels below lie over them.
    items[n++] = area(kMainLanguage, {1012, 95, 1142, 130});
    items[n++] = area(kMainHelp, {1077, 20, 1102, 50});
    items[n++] = area(kMainHide, {1050, 20, 1075, 50});
    items[n++] = area(kMainExit, {1104, 20, 1129, 50});
    items[n++] = area(kMainSave, {35, 95, 130, 130});
    items[n++] = area(kMainOpen, {150, 95, 245, 130});
    items[n++] = area(kMainClear, {265, 95, 395, 130});
    items[n++] = area(kMainWriteKeys, {430, 95, 550, 130});
    items[n++] = area(kMainLightSet, {585, 95, 695, 130});
    items[n++] = area(kMainReadAll, {740, 95, 850, 130});
    items[n++] = area(kMainUpdate, {865, 95, 975, 130});
    items[n++] = area(kMainLevel, {65, 180, 105, 290});
    // The 87 keys, at the rectangles of the key table.
    for (const KeyInfo& key : kKeyTable) {
        SkinItem item = area(kMainKeyIdBase + key.number, {key.rect.left, key.rect.top, key.rect.right, key.rect.bottom});
        item.keyNumber = key.number;
        items[n++] = item;
    }
    // Labels. The language label names the language a click switches to.
    items[n++] = label(65, {1012, 101, 1142, 130}, "English", "简体中文");
    items[n++] = label(70, {35, 101, 130, 130}, "保存配置", "Save");
    items[n++] = label(71, {150, 101, 245, 130}, "打开配置", "Open");
    items[n++] = label(72, {295, 101, 395, 130}, "清空配置", "Clear");
    items[n++] = label(73, {435, 101, 550, 130}, "写入按键", "WriteKeys");
    items[n++] = label(74, {585, 101, 695, 130}, "设置背光", "LightSet");
    items[n++] = label(75, {720, 101, 850, 130}, "读取配置", "ReadAll");
    items[n++] = label(76, {880, 101, 985, 130}, "固件升级", "Update");
    items[n++] = label(77, {59, 160, 110, 235}, "上档键", "LevelUp");
    items[n++] = label(78, {59, 296, 110, 325}, "下档键", "LevelDn");
    return items;
}

}  // namespace mainwindow_items_detail

inline constexpr std::array<SkinItem, kMainWindowItemCount> kMainWindowItems = mainwindow_items_detail::make();
