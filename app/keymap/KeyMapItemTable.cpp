#include "KeyMapItemTable.h"

static_assert(kKeyMapItems.size() <= KeyMapItemTable::kCapacity, "the item table overflows");

KeyMapItemTable::KeyMapItemTable() {
    for (std::size_t i = 0; i < kKeyMapItems.size(); ++i)
        items_[i] = kKeyMapItems[i];
}

int KeyMapItemTable::findItem(int id) const {
    for (int i = 0; i < kCapacity; ++i) {
        if (items_[static_cast<std::size_t>(i)].id == id)
            return i;
    }
    return 0;
}

bool KeyMapItemTable::belongsToPage(const SkinItem& item, int page) {
    if (item.id <= 0)
        return false;
    return item.id < 100 || item.id / 100 == page;
}

int KeyMapItemTable::hitTest(int page, int x, int y) const {
    for (int i = 0; i < kCapacity; ++i) {
        const SkinItem& it = items_[static_cast<std::size_t>(i)];
        if (belongsToPage(it, page) && it.rect.contains(x, y))
            return i;
    }
    return -1;
}

void KeyMapItemTable::setText(int index, std::string_view language, std::string text) {
    if (index < 0 || index >= kCapacity)
        return;
    const auto i = static_cast<std::size_t>(index);
    if (language == "zh-CN") {
        zhCN_[i] = std::move(text);
        items_[i].text.zhCN = zhCN_[i].c_str();
    } else if (language == "en-US") {
        enUS_[i] = std::move(text);
        items_[i].text.enUS = enUS_[i].c_str();
    }
}

std::string_view KeyMapItemTable::text(int index, std::string_view language) const {
    if (index < 0 || index >= kCapacity)
        return {};
    const char* t = items_[static_cast<std::size_t>(index)].text.forLanguage(language);
    return t ? std::string_view(t) : std::string_view();
}

void KeyMapItemTable::setActiveRange(int firstId, int lastId, bool active) {
    for (SkinItem& it : items_) {
        if (it.id >= firstId && it.id <= lastId)
            it.active = active;
    }
}
