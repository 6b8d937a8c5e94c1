#pragma once
// The key assignment dialog's skin items: the common frame, the Uni/Combo, Macro and Emulate
// pages and the four catalogue pages (Multimedia, Mouse, Function, Power) with the keyboard
// code of every entry. Qt-free constexpr data: the dialog hit-tests and paints from it, the
// skin painter draws the seven pages' pictures from it.
//
// Ids below 100 belong to every page, an id of 100 or more to page id / 100. Ids are not
// unique (36 is both the title and the Power tab's label): the first item in table order wins.
// Within the common part and within each page, hot areas come before the labels drawn over them.

#include <array>

#include "shell/SkinItem.h"

inline constexpr int kKeyMapPageCount = 7;

// Skin bitmaps of each page: background, hover picture, selected picture. Page p (1..7) is
// kKeyMapPagePictures[p - 1].
struct KeyMapPagePictures {
    int background;
    int hover;
    int selected;
};
inline constexpr KeyMapPagePictures kKeyMapPagePictures[kKeyMapPageCount] = {
    {107, 108, 109}, {110, 111, 112}, {113, 114, 115}, {116, 117, 118},
    {119, 120, 121}, {122, 123, 124}, {125, 126, 127},
};

// Size of every page picture, and so of the dialog.
inline constexpr SkinSize kKeyMapSkinSize{575, 370};

// The skin of both scroll bars (9 x 3 square cells) and the thickness of one cell, which is
// the bars' width.
inline constexpr int kKeyMapScrollBarBitmap = 138;
inline constexpr int kKeyMapScrollBarPart = 16;

// Where the dialog places its child controls, in client pixels. The scroll bars are as long
// as given and kKeyMapScrollBarPart thick.
inline constexpr SkinRect kKeyMapValueEdit = skinRectAt(475, 117, 58, 18);   // loop count / emulation delay
inline constexpr SkinRect kKeyMapDelayEdit = skinRectAt(476, 187, 58, 18);   // one macro delay
inline constexpr SkinRect kKeyMapComboText = skinRectAt(380, 138, 141, 93);  // the recorded combination
inline constexpr SkinRect kKeyMapComboListScroll = skinRectAt(358, 137, kKeyMapScrollBarPart, 96);
inline constexpr SkinRect kKeyMapComboRecordScroll = skinRectAt(523, 137, kKeyMapScrollBarPart, 96);  // hidden
inline constexpr SkinRect kKeyMapListScroll = skinRectAt(181, 115, kKeyMapScrollBarPart, 126);    // Macro, Emulate
inline constexpr SkinRect kKeyMapRecordScroll = skinRectAt(357, 115, kKeyMapScrollBarPart, 126);  // Macro, Emulate

// Ids the dialog dispatches on.
enum KeyMapId : int {
    kKeyMapClear = 87,
    kKeyMapOk = 88,
    kKeyMapCancel = 89,
    kKeyMapFirstTab = 90,  // 90..96: the tabs of pages 1..7
    kKeyMapClose = 97,
    kKeyMapUniques = 101,
    kKeyMapCombo = 102,
    kKeyMapSingleRecord = 104,
    kKeyMapComboNew = 105,
    kKeyMapComboDelete = 106,
    kKeyMapComboRecord = 107,
    kKeyMapComboListRow = 121,   // 121..126
    kKeyMapComboRecordRow = 141, // 141..146, lie under the combination text
    kKeyMapAutoInterval = 202,
    kKeyMapDelayButton = 203,
    kKeyMapMacroNew = 205,
    kKeyMapMacroRemove = 206,
    kKeyMapMacroRecord = 207,
    kKeyMapMacroListRow = 221,   // 221..229
    kKeyMapMacroRecordRow = 241, // 241..249
    kKeyMapEmuRecord = 302,
    kKeyMapEmuNew = 305,
    kKeyMapEmuRemove = 306,
    kKeyMapEmuListRow = 321,     // 321..329
    kKeyMapEmuRecordRow = 341,   // 341..349
};

// The catalogue icons that show a tooltip: Multimedia 401..418, Function 601..628, Power 701..703.
constexpr bool isKeyMapCatalogueIcon(int id) {
    return (id >= 401 && id <= 418) || (id >= 601 && id <= 628) || (id >= 701 && id <= 703);
}

// The page an item belongs to: 0 for every page, else 1..7.
constexpr int keyMapPageOf(int id) { return id < 100 ? 0 : id / 100; }

namespace keymap_items_detail {

inline constexpr SkinColour kGreen = kSkinGreen;

constexpr SkinItem hot(int id, SkinRect rect) {
    SkinItem item;
    item.id = id;
    item.rect = rect;
    return item;
}

constexpr SkinItem icon(int id, SkinRect rect, int code, const char* tipZhCN, const char* tipEnUS) {
    SkinItem item = hot(id, rect);
    item.code = code;
    item.tip = {tipZhCN, tipEnUS};
    return item;
}

constexpr SkinItem label(int id, SkinRect rect, const char* zhCN = nullptr, const char* enUS = nullptr) {
    SkinItem item = hot(id, rect);
    item.text = {zhCN, enUS};
    item.textOnly = true;
    return item;
}

constexpr SkinItem left(SkinItem item) {
    item.format = kSkinFormatLeft;
    return item;
}

constexpr SkinItem greenWhenSelected(SkinItem item) {
    item.activeColour = kGreen;
    return item;
}

// The "Stop Rec" captions: green, hidden until a recording starts.
constexpr SkinItem stopCaption(SkinItem item) {
    item.colour = kGreen;
    item.visible = false;
    return item;
}

constexpr SkinItem row(int id, SkinRect rect) {
    SkinItem item = hot(id, rect);
    item.listRow = true;
    item.format = kSkinFormatLeft;
    item.font = 11;
    return item;
}

struct Builder {
    std::array<SkinItem, 202> items{};
    int count = 0;

    constexpr void add(const SkinItem& item) { items[count++] = item; }

    // Rows r = 0..n-1 at (left, top + pitch r, right, bottom + pitch r).
    constexpr void rows(int firstId, int n, int left, int top, int right, int bottom, int pitch) {
        for (int r = 0; r < n; ++r)
            add(row(firstId + r, {left, top + pitch * r, right, bottom + pitch * r}));
    }
};

constexpr Builder make() {
    Builder b;

    // Every page: Clear, OK, Cancel, the seven tabs, the close box, then their labels.
    b.add(hot(87, {33, 320, 117, 353}));
    b.add(hot(88, {365, 320, 449, 353}));
    b.add(hot(89, {462, 320, 544, 353}));
    for (int t = 0; t < kKeyMapPageCount; ++t)
        b.add(hot(90 + t, {18 + 78 * t, 48, 95 + 78 * t, 80}));
    b.add(hot(97, {545, 10, 565, 30}));
    b.add(label(36, {1, 12, 573, 33}, "按键设置面板", "Key Settings"));
    b.add(label(37, {37, 328, 117, 353}, "清空", "Clear"));
    b.add(label(38, {365, 328, 449, 353}, "确定", "OK"));
    b.add(label(39, {462, 328, 544, 353}, "取消", "Cancel"));
    b.add(label(30, {18, 56, 95, 80}, "单/组合键", "Uni/Combo"));
    b.add(label(31, {96, 56, 173, 80}, "宏定义", "Macro"));
    b.add(label(32, {174, 56, 251, 80}, "模拟击键", "Emulate"));
    b.add(label(33, {252, 56, 329, 80}, "多媒体", "Multimedia"));
    b.add(label(34, {330, 56, 407, 80}, "鼠标", "Mouse"));
    b.add(label(35, {408, 56, 485, 80}, "操控键", "Function"));
    b.add(label(36, {486, 56, 563, 80}, "电源键", "Power"));

    // Page 1, Uni/Combo.
    {
        SkinItem uniques = hot(101, {50, 100, 110, 125});
        uniques.active = true;  // Uniques is the choice at creation
        b.add(uniques);
    }
    b.add(hot(102, {210, 100, 275, 125}));
    b.add(hot(103, {45, 135, 160, 155}));
    b.add(hot(104, {43, 204, 165, 238}));
    b.add(hot(105, {220, 242, 280, 278}));
    b.add(hot(106, {290, 242, 350, 278}));
    b.add(hot(107, {375, 242, 525, 278}));
    b.rows(121, 6, 214, 136, 355, 151, 16);
    b.rows(141, 6, 378, 136, 522, 151, 16);
    b.add(greenWhenSelected(label(151, {70, 104, 130, 125}, "单键", "Uniques")));
    b.add(greenWhenSelected(label(152, {230, 104, 275, 125}, "组合键", "Combo")));
    b.add(label(153, {45, 135, 160, 155}, "请输入一个单键：", "Press a key:"));
    b.add(label(154, {43, 212, 165, 238}, "开始录制", "Record"));
    b.add(stopCaption(label(155, {43, 212, 165, 238}, "停止录制", "Stop Rec")));
    b.add(label(156, {220, 250, 280, 278}, "新建", "New"));
    b.add(label(157, {290, 250, 350, 278}, "删除", "Delete"));
    b.add(label(158, {48, 166, 160, 188}));  // name of the captured single key
    b.add(label(159, {375, 250, 525, 278}, "开始录制", "Record"));
    b.add(stopCaption(label(160, {375, 250, 525, 278}, "停止录制", "Stop Rec")));
    b.add(left(label(161, {214, 118, 355, 134}, "组合键列表", "Combo List")));
    b.add(left(label(162, {378, 118, 522, 134}, "录制框", "Record List")));

    // Page 2, Macro.
    b.add(hot(202, {383, 150, 465, 175}));
    b.add(hot(203, {385, 180, 470, 212}));
    b.add(hot(205, {45, 258, 105, 288}));
    b.add(hot(206, {114, 258, 174, 288}));
    b.add(hot(207, {385, 215, 539, 248}));
    b.rows(221, 9, 37, 114, 178, 127, 14);
    b.rows(241, 9, 213, 114, 355, 127, 14);
    b.add(label(261, {412, 117, 470, 135}, "循环次数", "Loop"));
    b.add(label(262, {412, 153, 470, 175}, "自动延时", "Inteval"));
    b.add(label(263, {385, 186, 470, 212}, "延时修改", "Delay"));
    b.add(label(265, {45, 264, 105, 288}, "新建", "New"));
    b.add(label(266, {114, 264, 174, 288}, "删除", "Remove"));
    b.add(label(267, {385, 224, 539, 248}, "开始录制", "Record"));
    b.add(stopCaption(label(268, {385, 224, 539, 248}, "停止录制", "Stop Rec")));
    b.add(label(269, {210, 284, 539, 318}, "温馨提示：录制框中单击鼠标右键可插入鼠标功能",
                "Tip: Right click to insert mouse actions"));
    b.add(left(label(270, {37, 95, 178, 111}, "宏列表", "Macro List")));
    b.add(left(label(271, {213, 95, 355, 111}, "录制框", "Record List")));

    // Page 3, Emulate.
    b.add(hot(301, {383, 110, 467, 140}));
    b.add(hot(302, {383, 150, 538, 176}));
    b.add(hot(305, {45, 258, 105, 288}));
    b.add(hot(306, {114, 258, 174, 288}));
    b.rows(321, 9, 37, 114, 178, 127, 14);
    b.rows(341, 9, 213, 114, 355, 127, 14);
    b.add(label(351, {387, 117, 467, 140}, "延时", "Delay"));
    b.add(label(352, {383, 154, 538, 176}, "开始录制", "Record"));
    b.add(stopCaption(label(353, {383, 154, 538, 176}, "停止录制", "Stop Rec")));
    b.add(label(355, {45, 264, 105, 288}, "新建", "New"));
    b.add(label(356, {114, 264, 174, 288}, "删除", "Remove"));
    b.add(left(label(357, {37, 95, 178, 111}, "模拟击键列表", "Emu List")));
    b.add(left(label(358, {213, 95, 355, 111}, "录制框", "Record List")));

    // Page 4, Multimedia (kind 5): icons with their keyboard codes.
    b.add(icon(401, {46, 152, 81, 188}, 115, "播放器", "Media Select"));
    b.add(icon(402, {96, 152, 131, 188}, 111, "播放/暂停", "Play/Pause"));
    b.add(icon(403, {146, 152, 181, 188}, 110, "停止", "Stop"));
    b.add(icon(404, {196, 152, 231, 188}, 108, "下一首", "Next Track"));
    b.add(icon(405, {246, 152, 281, 188}, 109, "上一首", "Previous Track"));
    b.add(icon(406, {296, 152, 331, 188}, 114, "音量减小", "Volume Down"));
    b.add(icon(407, {346, 152, 381, 188}, 113, "音量加大", "Volume Up"));
    b.add(icon(408, {396, 152, 431, 188}, 112, "静音", "Mute"));
    b.add(icon(409, {46, 235, 81, 272}, 121, "后退", "WWW Back"));
    b.add(icon(410, {96, 235, 131, 272}, 122, "前进", "WWW Forward"));
    b.add(icon(411, {146, 235, 181, 272}, 123, "停止", "WWW Stop"));
    b.add(icon(412, {196, 235, 231, 272}, 124, "刷新", "WWW Refresh"));
    b.add(icon(413, {246, 235, 281, 272}, 125, "收藏夹", "WWW Favorites"));
    b.add(icon(414, {296, 235, 331, 272}, 119, "搜索", "WWW Search"));
    b.add(icon(415, {346, 235, 381, 272}, 116, "邮件", "E-mail"));
    b.add(icon(416, {396, 235, 431, 272}, 120, "主页", "WWW Home"));
    b.add(icon(417, {446, 235, 481, 272}, 118, "资源管理器", "My Computer"));
    b.add(icon(418, {496, 235, 531, 272}, 117, "计算器", "Calculator"));
    b.add(left(label(451, {46, 127, 167, 150}, "多媒体功能", "Media Function")));
    b.add(left(label(452, {46, 207, 167, 230}, "浏览器功能", "Browser Function")));

    // Page 5, Mouse (kind 6): rows with a label of the same rectangle; no tooltips.
    {
        struct MouseEntry {
            int code;
            const char* zhCN;
            const char* enUS;
        };
        constexpr MouseEntry entries[] = {
            {126, "左移", "Move Left"},   {127, "右移", "Move Right"},     {128, "上移", "Move Up"},
            {129, "下移", "Move Down"},   {130, "左键", "Left Click"},     {131, "右键", "Right Click"},
            {132, "中键", "Middle Click"}, {133, "滚轮前翻", "Wheel Up"}, {134, "滚轮后翻", "Wheel Down"},
            {199, "左键双击", "Left Double Click"},
        };
        for (int r = 0; r < 10; ++r) {
            SkinItem item = hot(502 + r, {37, 114 + 17 * r, 258, 130 + 17 * r});
            item.code = entries[r].code;
            b.add(item);
        }
        for (int r = 0; r < 10; ++r)
            b.add(label(552 + r, {37, 114 + 17 * r, 258, 130 + 17 * r}, entries[r].zhCN, entries[r].enUS));
    }

    // Page 6, Function (kind 7). There are no ids 605 to 607.
    b.add(icon(601, {36, 112, 72, 148}, 149, "6键/全键无冲切换", "6 or N key convert"));
    b.add(icon(602, {89, 112, 125, 148}, 150, "键盘锁", "Keyboard Lock"));
    b.add(icon(603, {142, 112, 178, 148}, 151, "按键灵敏度调节", "Key response regulate"));
    b.add(icon(604, {195, 112, 231, 148}, 152, "Ctrl和Caps对调", "Ctrl to Caps convert"));
    b.add(icon(608, {36, 155, 72, 191}, 153, "锁Win", "Win Lock"));
    b.add(icon(609, {89, 155, 125, 191}, 154, "扫描延时调节", "Scan Delay Regulate"));
    b.add(icon(610, {142, 155, 178, 191}, 155, "上传率调节", "Report Rates Regulate"));
    b.add(icon(611, {195, 155, 231, 191}, 158, "鼠标DPI-", "Mouse DPI-"));
    b.add(icon(612, {248, 155, 284, 191}, 157, "鼠标DPI+", "Mouse DPI+"));
    b.add(icon(613, {301, 155, 337, 191}, 156, "下档组合键,按键的上下档键须同时设置",
               "level down combination key,Keys level up and down must be set to FN"));
    b.add(icon(614, {354, 155, 390, 191}, 159, "可编程键盘", "Programmable Keyboard"));
    b.add(icon(615, {36, 220, 72, 256}, 137, "背光区1颜色调节", "Backlight Area 1 Color Regulate"));
    b.add(icon(616, {100, 220, 136, 256}, 138, "背光区2颜色调节", "Backlight Area 2 Color Regulate"));
    b.add(icon(617, {164, 220, 200, 256}, 139, "背光区3颜色调节", "Backlight Area 3 Color Regulate"));
    b.add(icon(618, {228, 220, 264, 256}, 140, "背光区4颜色调节", "Backlight Area 4 Color Regulate"));
    b.add(icon(619, {292, 220, 328, 256}, 145, "背光亮度-", "Backlight Lighteness-"));
    b.add(icon(620, {356, 220, 392, 256}, 144, "背光亮度+", "Backlight Lighteness+"));
    b.add(icon(621, {418, 220, 456, 256}, 147, "多彩呼吸", "Color Breathe"));
    b.add(icon(622, {36, 265, 72, 301}, 135, "背光开关", "Backlight switch"));
    b.add(icon(623, {100, 265, 136, 301}, 141, "背光呼吸", "Backlight Breathe"));
    b.add(icon(624, {164, 265, 200, 301}, 136, "背光自定义", "Backlight Macro"));
    b.add(icon(625, {228, 265, 264, 301}, 143, "呼吸频率+", "Breathe Frequence+"));
    b.add(icon(626, {292, 265, 328, 301}, 142, "呼吸频率-", "Breathe Frequence-"));
    b.add(icon(627, {356, 265, 392, 301}, 146, "日落/放松模式", "Sunset/Relax Mode"));
    b.add(icon(628, {418, 265, 456, 301}, 148, "全盘颜色调节", "Backlight All Color Regulate"));
    b.add(left(label(651, {36, 92, 167, 150}, "按键功能", "Key Function")));
    b.add(left(label(652, {36, 200, 167, 230}, "背光功能", "Backlight Function")));

    // Page 7, Power (kind 8): buttons with their labels inside.
    b.add(icon(701, {162, 160, 242, 190}, 75, "唤醒", "WakeUp"));
    b.add(icon(702, {251, 160, 331, 190}, 76, "睡眠", "Sleep"));
    b.add(icon(703, {340, 160, 420, 190}, 77, "电源", "Power"));
    b.add(label(751, {162, 166, 242, 190}, "唤醒", "Wake"));
    b.add(label(752, {251, 166, 331, 190}, "睡眠", "Sleep"));
    b.add(label(753, {340, 166, 420, 190}, "电源", "Power"));
    return b;
}

inline constexpr Builder kBuilt = make();

constexpr std::array<SkinItem, kBuilt.count> used() {
    std::array<SkinItem, kBuilt.count> items{};
    for (int i = 0; i < kBuilt.count; ++i)
        items[i] = kBuilt.items[i];
    return items;
}

}  // namespace keymap_items_detail

// The dialog keeps a table of 202 items; these are the ones in use, in table order. The
// entries beyond them keep the SkinItem defaults (id -1) and are ignored.
inline constexpr int kKeyMapItemCapacity = 202;
inline constexpr std::array<SkinItem, keymap_items_detail::kBuilt.count> kKeyMapItems = keymap_items_detail::used();
