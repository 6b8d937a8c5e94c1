#pragma once
// What the main window decides without drawing anything: which item a click hits, what a
// press on the free picture does, the information box's text and the window's messages.
// Kept apart from the widget so each rule can be checked on its own.

#include <array>
#include <string>

#include "MainWindowItems.h"

class KeyboardConfiguration;

using MainWindowItemTable = std::array<SkinItem, kMainWindowItemCount>;

// The part of the window a point lies on, for a press that does not hit an item.
enum class HitArea {
    Client,       // an item: the press is the start of a click
    Caption,      // free picture: dragging moves the window
    Right,        // within the resize border of the right edge
    Bottom,       // within the resize border of the bottom edge
    BottomRight,  // in the corner where both borders meet
};

// Width of the band along the right and bottom edges in which a press resizes the window.
inline constexpr int kResizeBorder = 6;

// True for items that painting and hit-testing consider: a positive id.
constexpr bool isLiveItem(const SkinItem& item) { return item.id > 0; }
// True for items the pointer can hover and click: live and not a label.
constexpr bool isHotItem(const SkinItem& item) { return isLiveItem(item) && !item.textOnly; }

// Index of the first hot item, in table order, whose rectangle contains (x, y); -1 when
// there is none. Labels never count, so a click on a label that lies over a clickable area
// reaches that area.
int hotItemAt(const MainWindowItemTable& items, int x, int y);

// Where (x, y) lies on a window of width x height when `overItem` tells whether a hot item
// contains it: Client over an item, else the resize bands, else Caption.
HitArea hitArea(bool overItem, int x, int y, int width, int height);

// The information box's text. `key` is the key number under the pointer, or anything outside
// 1..87 for none; the text then is the title alone. For a key it is the title, a blank line and
// the kind and value of the key on both levels, in the configuration's language, with CR LF
// line ends (UTF-8).
std::string infoBoxText(const KeyboardConfiguration& configuration, int key);

// The window's title line in the configuration's language.
std::string infoBoxTitle(const KeyboardConfiguration& configuration);

namespace mainwindow_texts {

inline constexpr const char* kNotConnectedAtStart = "Keyboard is not connected!";
inline constexpr const char* kNotConnected = "Keyboard is not connected";
inline constexpr const char* kTransferDone = "OK!";
inline constexpr const char* kTrayExitChinese = "关闭";
inline constexpr const char* kTrayExitEnglish = "Exit";
inline constexpr const char* kSaveFailedEnglish = "Could not save the profile.";
inline constexpr const char* kSaveFailedChinese = "无法保存配置文件。";
inline constexpr const char* kNotAProfileEnglish = "This file is not a valid profile.";
inline constexpr const char* kNotAProfileChinese = "该文件不是有效的配置文件。";
inline constexpr const char* kProfileFilter = "pro(*.pro)|*.pro|All Files(*.*)|*.*||";
inline constexpr const char* kProfileSuffix = "pro";
// The help page shipped beside the program.
inline constexpr const char* kHelpPage = "KelvaneX30-help.html";
inline constexpr const char* kTrayTip = "KelvaneX30";

}  // namespace mainwindow_texts
