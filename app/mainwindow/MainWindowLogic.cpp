#include "MainWindowLogic.h"

#include "KeyCatalogue.h"
#include "KeyboardConfiguration.h"

int hotItemAt(const MainWindowItemTable& items, int x, int y) {
    for (int i = 0; i < kMainWindowItemCount; ++i) {
        const SkinItem& item = items[std::size_t(i)];
        if (isHotItem(item) && item.rect.contains(x, y))
            return i;
    }
    return -1;
}

HitArea hitArea(bool overItem, int x, int y, int width, int height) {
    if (overItem)
        return HitArea::Client;
    const bool right = x > width - kResizeBorder;
    const bool bottom = y > height - kResizeBorder;
    if (right && bottom)
        return HitArea::BottomRight;
    if (right)
        return HitArea::Right;
    if (bottom)
        return HitArea::Bottom;
    return HitArea::Caption;
}

std::string infoBoxTitle(const KeyboardConfiguration& configuration) {
    return configuration.isChinese() ? "Kelvane X30 编程软件 [版本 1.0.1]"
                                     : "Kelvane X30 Programming Software [Ver 1.0.1]";
}

std::string infoBoxText(const KeyboardConfiguration& configuration, int key) {
    std::string text = infoBoxTitle(configuration);
    if (key < 1 || key > kKeyCount)
        return text;
    const bool chinese = configuration.isChinese();
    // Both levels, whichever one the window shows. "：" is the full-width colon.
    const char* const labels[kLevels] = {chinese ? "上档键：" : "Key settings L1：",
                                         chinese ? "下档键：" : "Key settings L2："};
    text += "\r\n";
    for (int level = 0; level < kLevels; ++level) {
        const int kind = static_cast<int>(configuration.kindOf(key, level));
        text += "\r\n";
        text += labels[level];
        text += KeyCatalogue::kindName(kind, configuration.language);
        text += ' ';
        text += configuration.valueText(key, level);
        text += "\r\n";
    }
    return text;
}
