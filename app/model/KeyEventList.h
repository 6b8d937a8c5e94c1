#pragma once
// A list of key event texts with one nested list per entry, plus the view state of the list
// editor that shows it (SizeOfView rows, starting at ViewStartAt, with the selected row
// CursorPos relative to it) and the playback values Cycles, IsAutoInterval and Delay.
//
// Uses: the events of a Combo, Macro or Emulation key, and the three predefined lists, whose
// entries are names and whose nested lists hold each entry's events.
//
// Row arguments are editor rows: the item index is ViewStartAt + row. Only an index in
// 0..count-1 addresses an item; every operation tolerates any other row without reading or
// writing outside the list, and keeps the view inside the list.
//
// Invariant: there are exactly as many nested lists as items. A nested list the list creates
// itself takes the list's SizeOfView and the other defaults.

#include <string>
#include <string_view>
#include <vector>

#include "XmlOutcome.h"

class CXmlDocument;

class KeyEventList {
public:
    // Editors pass this row to append.
    static constexpr int kAppendRow = 20000;
    static constexpr int kDefaultCycles = 1;
    static constexpr int kDefaultDelay = 30;  // milliseconds between the keys of an emulation

    KeyEventList() = default;
    explicit KeyEventList(int sizeOfView) : sizeOfView_(sizeOfView) {}

    int sizeOfView() const { return sizeOfView_; }
    int viewStartAt() const { return viewStartAt_; }
    int cursorPos() const { return cursorPos_; }
    int cycles() const { return cycles_; }
    bool isAutoInterval() const { return autoInterval_; }
    int delay() const { return delay_; }
    void setSizeOfView(int rows) { sizeOfView_ = rows; }
    // Stored as given (a profile may carry any values); the operations below keep the view
    // inside the list from then on.
    void setView(int viewStartAt, int cursorPos) {
        viewStartAt_ = viewStartAt;
        cursorPos_ = cursorPos;
    }
    void setCycles(int cycles) { cycles_ = cycles; }
    void setAutoInterval(bool autoInterval) { autoInterval_ = autoInterval; }
    void setDelay(int milliseconds) { delay_ = milliseconds; }

    int count() const { return static_cast<int>(items_.size()); }
    bool empty() const { return items_.empty(); }
    const std::vector<std::string>& items() const { return items_; }
    // The nested list of item `index`; index must be in 0..count-1.
    const KeyEventList& child(int index) const { return children_[static_cast<std::size_t>(index)]; }
    // The index selected in the editor, ViewStartAt + CursorPos.
    int selectedIndex() const { return viewStartAt_ + cursorPos_; }

    // Appends an item with its nested list, leaving the view alone (for loaders).
    void append(std::string text, KeyEventList child);

    // The item at ViewStartAt + row, or "" when there is none.
    std::string itemAtRow(int row) const;
    // A copy of the nested list at ViewStartAt + row, or a new empty list with this list's
    // SizeOfView when there is none.
    KeyEventList childAtRow(int row) const;
    // The nested list at ViewStartAt + row becomes a copy of `list`; nothing without an item.
    void setChildAtRow(int row, const KeyEventList& list);
    // Replaces the item at ViewStartAt + row; without an item there, appends text with a new
    // nested list and moves the view to select it.
    void setOrAppend(int row, const std::string& text);
    // Inserts text with a new nested list before the item at ViewStartAt + row (view
    // unchanged); without an item there, appends as setOrAppend does.
    void insertAtRow(int row, const std::string& text);
    // Removes the item at ViewStartAt + row, or the last item for a row past the end; a
    // negative index removes nothing. The view is pulled back inside the list.
    void removeAtRow(int row);
    // Selects item `index` (clamped to the list), scrolling only when it is not visible.
    void scrollTo(int index);
    // Removes every item and resets view and playback values; SizeOfView stays.
    void clear();
    // Deep copy of every field of other.
    void copyFrom(const KeyEventList& other);
    // Same items (exact, case-sensitive), Cycles, IsAutoInterval and Delay. View fields and
    // nested lists are not compared.
    bool sameContent(const KeyEventList& other) const;
    // Selects the first item whose nested list has sameContent with `list` (the first item
    // when none has).
    void selectEqualChild(const KeyEventList& list);

    // Index of the first item equal to text, or -1.
    static int indexOfItem(const std::vector<std::string>& items, std::string_view text);
    int indexOfItem(std::string_view text) const { return indexOfItem(items_, text); }
    // Exchanges the complete contents of two lists.
    static void swapLists(KeyEventList& a, KeyEventList& b) noexcept;

    // What a file may make the loader build. Lists nested deeper than kMaxXmlDepth are not
    // followed (the item keeps an empty nested list); an "x" whose ID would grow its list
    // past kMaxXmlItems entries, or a whole load past its budget, is skipped. The per-list
    // cap alone would still let a few kilobytes of "x" elements with large IDs in many lists
    // allocate gigabytes, hence the budget shared by every list of one load.
    static constexpr int kMaxXmlDepth = 64;
    static constexpr int kMaxXmlItems = 65536;
    struct XmlLoadBudget {
        long long entriesLeft = 1LL << 20;
    };

    // Writes the list as a "List" element after the document's current position (as a child
    // when the current element was just entered): the attributes SizeOfView, ViewStartAt,
    // CursorPos, Cycles, IsAutoInterval (1 or 0) and Delay, then one "x" per item with its
    // index "ID", its text "t1" and its nested list. The position ends on the new "List".
    // Returns the first failed edit; the document may then hold part of the list.
    xml::XmlOutcome saveToXml(CXmlDocument& document) const;
    // Clears the list (SizeOfView stays), then reads the next "List" element at the current
    // level, if there is one, and leaves the position on it. "x" elements may come in any
    // order; gaps between their IDs become empty items, a later equal ID overwrites, and a
    // negative or oversized ID is skipped.
    void loadFromXml(CXmlDocument& document);
    void loadFromXml(CXmlDocument& document, XmlLoadBudget& budget);

    // An attribute number as profiles read it: leading blanks, an optional sign, then the
    // decimal digits up to the first other character; 0 without digits, saturated to int.
    static int parseXmlNumber(std::u16string_view text);

private:
    void loadFromXml(CXmlDocument& document, XmlLoadBudget& budget, int depth);
    // ViewStartAt + row as an item index, or -1 when it addresses no item.
    int indexOfRow(int row) const;
    void appendAndSelect(const std::string& text);

    int sizeOfView_ = 0;
    int viewStartAt_ = 0;
    int cursorPos_ = 0;
    std::vector<std::string> items_;
    std::vector<KeyEventList> children_;
    int cycles_ = kDefaultCycles;
    bool autoInterval_ = false;
    int delay_ = kDefaultDelay;
};
