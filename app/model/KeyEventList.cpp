#include "KeyEventList.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "CXmlDocument.h"
#include "Utf.h"

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

int KeyEventList::parseXmlNumber(std::u16string_view text) {
    std::size_t i = 0;
    auto blank = [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    while (i < text.size() && blank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        // Past the int range the result is pinned to its end; stop before the sum overflows.
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

xml::XmlOutcome KeyEventList::saveToXml(CXmlDocument& document) const {
    xml::XmlOutcome result;
    auto keep = [&result](xml::XmlOutcome outcome) {
        if (result && !outcome) result = outcome;
    };
    keep(document.AddElement(u"List"));
    keep(document.SetAttribute(u"SizeOfView", sizeOfView_));
    keep(document.SetAttribute(u"ViewStartAt", viewStartAt_));
    keep(document.SetAttribute(u"CursorPos", cursorPos_));
    keep(document.SetAttribute(u"Cycles", cycles_));
    keep(document.SetAttribute(u"IsAutoInterval", autoInterval_ ? 1 : 0));
    keep(document.SetAttribute(u"Delay", delay_));
    document.EnterElement();
    for (std::size_t i = 0; i < items_.size() && result; ++i) {
        keep(document.AddElement(u"x"));
        keep(document.SetAttribute(u"ID", static_cast<long long>(i)));
        keep(document.SetAttribute(u"t1", xml::utf::utf8ToUtf16(items_[i])));
        document.EnterElement();
        keep(children_[i].saveToXml(document));
        document.LeaveElement();
    }
    document.LeaveElement();
    return result;
}

void KeyEventList::loadFromXml(CXmlDocument& document) {
    XmlLoadBudget budget;
    loadFromXml(document, budget, 1);
}

void KeyEventList::loadFromXml(CXmlDocument& document, XmlLoadBudget& budget) {
    loadFromXml(document, budget, 1);
}

void KeyEventList::loadFromXml(CXmlDocument& document, XmlLoadBudget& budget, int depth) {
    clear();
    if (!document.FindElement(u"List")) return;
    sizeOfView_ = parseXmlNumber(document.GetAttribute(u"SizeOfView"));
    viewStartAt_ = parseXmlNumber(document.GetAttribute(u"ViewStartAt"));
    cursorPos_ = parseXmlNumber(document.GetAttribute(u"CursorPos"));
    cycles_ = parseXmlNumber(document.GetAttribute(u"Cycles"));
    autoInterval_ = parseXmlNumber(document.GetAttribute(u"IsAutoInterval")) != 0;
    delay_ = parseXmlNumber(document.GetAttribute(u"Delay"));
    document.EnterElement();
    while (document.FindElement(u"x")) {
        const int id = parseXmlNumber(document.GetAttribute(u"ID"));
        if (id < 0 || id >= kMaxXmlItems) continue;
        const long long grow = static_cast<long long>(id) + 1 - count();
        if (grow > budget.entriesLeft) continue;
        if (grow > 0) {
            budget.entriesLeft -= grow;
            items_.resize(static_cast<std::size_t>(id) + 1);
            children_.resize(static_cast<std::size_t>(id) + 1, KeyEventList(sizeOfView_));
        }
        const auto index = static_cast<std::size_t>(id);
        items_[index] = xml::utf::utf16ToUtf8(document.GetAttribute(u"t1"));
        if (depth >= kMaxXmlDepth) {
            // Not followed: whatever the file nests below here is dropped.
            children_[index] = KeyEventList(sizeOfView_);
            continue;
        }
        KeyEventList nested;
        document.EnterElement();
        nested.loadFromXml(document, budget, depth + 1);
        document.LeaveElement();
        children_[index] = std::move(nested);
    }
    document.LeaveElement();
}
