#include "KeyEventList.h"

#include <algorithm>
#include <utility>

int KeyEventList::indexOfRow(int row) const {
    // 64-bit sum: a huge row plus ViewStartAt must not overflow into a valid index.
    const long long index = static_cast<long long>(viewStartAt_) + row;
    return index >= 0 && index < count() ? static_cast<int>(index) : -1;
}

void KeyEventList::append(std::string text, KeyEventList child) {
    items_.push_back(std::move(text));
    children_.push_back(std::move(child));
}

std::string KeyEventList::itemAtRow(int row) const {
    const int index = indexOfRow(row);
    return index < 0 ? std::string() : items_[static_cast<std::size_t>(index)];
}

KeyEventList KeyEventList::childAtRow(int row) const {
    const int index = indexOfRow(row);
    return index < 0 ? KeyEventList(sizeOfView_) : children_[static_cast<std::size_t>(index)];
}

void KeyEventList::setChildAtRow(int row, const KeyEventList& list) {
    const int index = indexOfRow(row);
    if (index >= 0)
        children_[static_cast<std::size_t>(index)].copyFrom(list);
}

void KeyEventList::appendAndSelect(const std::string& text) {
    append(text, KeyEventList(sizeOfView_));
    const int n = count();
    // A view of at least one row starting inside the list, so the new item ends up both
    // selected and visible even when the stored view was off.
    const int rows = std::max(sizeOfView_, 1);
    viewStartAt_ = std::clamp(viewStartAt_, 0, n - 1);
    const int e = n - viewStartAt_;
    if (e - rows >= 1) {
        viewStartAt_ += e - rows;
        cursorPos_ = rows - 1;
    } else {
        cursorPos_ = e - 1;
    }
}

void KeyEventList::setOrAppend(int row, const std::string& text) {
    const int index = indexOfRow(row);
    if (index >= 0)
        items_[static_cast<std::size_t>(index)] = text;
    else
        appendAndSelect(text);
}

void KeyEventList::insertAtRow(int row, const std::string& text) {
    const int index = indexOfRow(row);
    if (index < 0) {
        appendAndSelect(text);
        return;
    }
    items_.insert(items_.begin() + index, text);
    children_.insert(children_.begin() + index, KeyEventList(sizeOfView_));
}

void KeyEventList::removeAtRow(int row) {
    if (items_.empty()) return;
    const long long wanted = static_cast<long long>(viewStartAt_) + row;
    if (wanted < 0) return;
    const int index = wanted < count() ? static_cast<int>(wanted) : count() - 1;
    items_.erase(items_.begin() + index);
    children_.erase(children_.begin() + index);
    const int n = count();
    if (n == 0) {
        viewStartAt_ = 0;
        cursorPos_ = 0;
        return;
    }
    viewStartAt_ = std::clamp(viewStartAt_, 0, n - 1);
    cursorPos_ = std::clamp(cursorPos_, 0, n - viewStartAt_ - 1);
}

void KeyEventList::scrollTo(int index) {
    if (items_.empty()) {
        viewStartAt_ = 0;
        cursorPos_ = 0;
        return;
    }
    index = std::clamp(index, 0, count() - 1);
    const long long last = static_cast<long long>(viewStartAt_) + sizeOfView_ - 1;
    const bool viewInside = viewStartAt_ >= 0 && viewStartAt_ < count();
    if (viewInside && index >= viewStartAt_ && index <= last) {
        cursorPos_ = index - viewStartAt_;
    } else {
        viewStartAt_ = index;
        cursorPos_ = 0;
    }
}

void KeyEventList::clear() {
    items_.clear();
    children_.clear();
    viewStartAt_ = 0;
    cursorPos_ = 0;
    cycles_ = kDefaultCycles;
    autoInterval_ = false;
    delay_ = kDefaultDelay;
}

void KeyEventList::copyFrom(const KeyEventList& other) {
    // Through a temporary: `other` may be a nested list of this one.
    KeyEventList copy(other);
    *this = std::move(copy);
}

bool KeyEventList::sameContent(const KeyEventList& other) const {
    return items_ == other.items_ && cycles_ == other.cycles_ &&
           autoInterval_ == other.autoInterval_ && delay_ == other.delay_;
}

void KeyEventList::selectEqualChild(const KeyEventList& list) {
    int found = 0;
    for (int i = 0; i < count(); ++i) {
        if (children_[static_cast<std::size_t>(i)].sameContent(list)) {
            found = i;
            break;
        }
    }
    scrollTo(found);
}

int KeyEventList::indexOfItem(const std::vector<std::string>& items, std::string_view text) {
    auto it = std::find(items.begin(), items.end(), text);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void KeyEventList::swapLists(KeyEventList& a, KeyEventList& b) noexcept {
    std::swap(a.sizeOfView_, b.sizeOfView_);
    std::swap(a.viewStartAt_, b.viewStartAt_);
    std::swap(a.cursorPos_, b.cursorPos_);
    a.items_.swap(b.items_);
    a.children_.swap(b.children_);
    std::swap(a.cycles_, b.cycles_);
    std::swap(a.autoInterval_, b.autoInterval_);
    std::swap(a.delay_, b.delay_);
}
