#pragma once
// The dialog's working copy of its 202 items: the constant layout of KeyMapItems.h plus the
// texts the dialog writes at run time (list rows, the captured key's name). Qt-free.
//
// Lookups follow the table order: findItem and the hit test take the first matching item,
// so hot areas win over the labels drawn over them.

#include <array>
#include <string>
#include <string_view>

#include "KeyMapItems.h"

class KeyMapItemTable {
public:
    static constexpr int kCapacity = kKeyMapItemCapacity;

    KeyMapItemTable();
    KeyMapItemTable(const KeyMapItemTable&) = delete;
    KeyMapItemTable& operator=(const KeyMapItemTable&) = delete;

    // Every entry, used or not (unused ones have id -1).
    int size() const { return kCapacity; }
    SkinItem& operator[](int index) { return items_[static_cast<std::size_t>(index)]; }
    const SkinItem& operator[](int index) const { return items_[static_cast<std::size_t>(index)]; }

    // Index of the first item with this id, 0 when there is none.
    int findItem(int id) const;
    // The first item with this id; item 0 when there is none, as findItem says.
    SkinItem& item(int id) { return (*this)[findItem(id)]; }
    const SkinItem& item(int id) const { return (*this)[findItem(id)]; }

    // Whether the item is drawn and hit-tested on page 1..7: ids 1..99 on every page, larger
    // ids on page id / 100 only.
    static bool belongsToPage(const SkinItem& item, int page);
    // Index of the first item of the page whose rectangle holds (x, y), labels included;
    // -1 for none.
    int hitTest(int page, int x, int y) const;

    // Stores `text` as the item's text for `language` ("zh-CN" or "en-US"; other languages
    // store nothing). The table owns the string.
    void setText(int index, std::string_view language, std::string text);
    // The item's text in `language`, "" when it has none.
    std::string_view text(int index, std::string_view language) const;

    // Sets the active flag of every item whose id lies in firstId..lastId.
    void setActiveRange(int firstId, int lastId, bool active);

private:
    std::array<SkinItem, kCapacity> items_{};
    // Run-time texts, per language; the items point at them.
    std::array<std::string, kCapacity> zhCN_{};
    std::array<std::string, kCapacity> enUS_{};
};
