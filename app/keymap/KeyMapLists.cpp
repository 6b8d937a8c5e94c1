// The predefined lists of the Uni/Combo, Macro and Emulate pages (rows, renaming, New,
// Delete, scrolling, the emulation delay and loop count fields) and the choice on the four
// catalogue pages.
#include "CVelaDialogKeyMapSettings.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>
#include <string>

#include "KeyMapFields.h"
#include "KeyboardConfiguration.h"

namespace {

QRect toQRect(const SkinRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

// The name an entry gets proposed, by language; null for a language without patterns.
const char* namePattern(int page, std::string_view language) {
    static constexpr SkinText kPatterns[] = {
        {"组合键%1", "New Combo %1"},
        {"宏定义%1", "New Macro %1"},
        {"模拟击键%1", "New Emu %1"},
    };
    if (page < 1 || page > 3)
        return nullptr;
    return kPatterns[page - 1].forLanguage(language);
}


}  // namespace

KeyEventList* CVelaDialogKeyMapSettings::pageList() {
    switch (currentPage_) {
    case 1: return &comboList_;
    case 2: return &macroList_;
    case 3: return &emuList_;
    default: return nullptr;
    }
}

KeyEventList* CVelaDialogKeyMapSettings::pageRecord() {
    switch (currentPage_) {
    case 1: return &comboRecord_;
    case 2: return &macroRecord_;
    case 3: return &emuRecord_;
    default: return nullptr;
    }
}

int CVelaDialogKeyMapSettings::pageListFirstRow() const {
    switch (currentPage_) {
    case 1: return kKeyMapComboListRow;
    case 2: return kKeyMapMacroListRow;
    case 3: return kKeyMapEmuListRow;
    default: return -1;
    }
}

void CVelaDialogKeyMapSettings::clickListRow(int id) {
    KeyEventList* list = pageList();
    KeyEventList* record = pageRecord();
    if (!list || id / 100 != currentPage_)
        return;
    const int row = id - pageListFirstRow();
    if (row < 0 || list->viewStartAt() + row >= list->count())
        return;  // an empty row
    // The record list belongs to the entry selected so far.
    list->setChildAtRow(list->cursorPos(), *record);
    if (row != list->cursorPos()) {
        list->setView(list->viewStartAt(), row);
        *record = list->childAtRow(row);
        setUpRecordScroll();
    } else {
        // A second click on the selected row edits its name in place.
        openRenameEditor(id, QString::fromStdString(list->itemAtRow(row)));
    }
    refreshDynamicItems();
    update();
}

void CVelaDialogKeyMapSettings::clickRecordRow(int id) {
    KeyEventList* record = currentPage_ == 2 ? &macroRecord_ : currentPage_ == 3 ? &emuRecord_ : nullptr;
    if (!record)
        return;
    const int row = id - (currentPage_ == 2 ? kKeyMapMacroRecordRow : kKeyMapEmuRecordRow);
    if (row < 0 || record->viewStartAt() + row >= record->count())
        return;
    record->setView(record->viewStartAt(), row);
    refreshDynamicItems();
    update();
}

void CVelaDialogKeyMapSettings::openRenameEditor(int rowId, const QString& text) {
    renameEdit_->setGeometry(toQRect(items_.item(rowId).rect));
    renameEdit_->setText(text);
    renameEdit_->setEnabled(true);
    renameEdit_->show();
    renameEdit_->setFocus();
    renaming_ = true;
}

void CVelaDialogKeyMapSettings::commitRename() {
    if (!renaming_)
        return;
    // Cleared first: hiding the editor takes its focus, which would commit once more.
    renaming_ = false;
    const QRect place = renameEdit_->geometry();
    const std::string text = renameEdit_->text().toStdString();
    for (int i = 0; i < items_.size(); ++i) {
        const SkinItem& it = items_[i];
        if (it.id < 100 || !KeyMapItemTable::belongsToPage(it, currentPage_) || toQRect(it.rect) != place)
            continue;
        // The first item in that place decides; only a list row takes the text.
        const int id = it.id;
        KeyEventList* target = nullptr;
        int row = 0;
        if (id >= 121 && id <= 126) { target = &comboList_; row = id - 121; }
        else if (id >= 221 && id <= 229) { target = &macroList_; row = id - 221; }
        else if (id >= 321 && id <= 329) { target = &emuList_; row = id - 321; }
        else if (id >= 241 && id <= 249) { target = &macroRecord_; row = id - 241; }
        else if (id >= 341 && id <= 349) { target = &emuRecord_; row = id - 341; }
        if (target)
            target->setOrAppend(row, text);
        break;
    }
    renameEdit_->setEnabled(false);
    renameEdit_->hide();
    refreshDynamicItems();
    update();
}

void CVelaDialogKeyMapSettings::newEntry() {
    if (currentPage_ == 1 && singleMode_)
        return;  // combinations are made in Combo mode only
    KeyEventList* list = pageList();
    KeyEventList* record = pageRecord();
    if (!list)
        return;
    list->setChildAtRow(list->cursorPos(), *record);
    list->setOrAppend(200000, "");  // appends and selects the new entry
    adjustScrollRange(listScroll_, +1);
    *record = list->childAtRow(list->cursorPos());
    setUpRecordScroll();
    refreshDynamicItems();
    update();

    renameEdit_->setGeometry(toQRect(items_.item(pageListFirstRow() + list->cursorPos()).rect));
    if (const char* pattern = namePattern(currentPage_, language_)) {
        // The first numbered name no entry has yet; one of count + 1 numbers is always free.
        const QString format = QString::fromUtf8(pattern);
        for (int n = 1; n <= list->count() + 1; ++n) {
            const QString name = format.arg(n);
            if (list->indexOfItem(name.toStdString()) < 0) {
                renameEdit_->setText(name);
                break;
            }
        }
    }
    renameEdit_->setEnabled(true);
    renameEdit_->show();
    renameEdit_->setFocus();
    renaming_ = true;
}

void CVelaDialogKeyMapSettings::deleteEntry() {
    if (currentPage_ == 1 && singleMode_)
        return;
    KeyEventList* list = pageList();
    KeyEventList* record = pageRecord();
    if (!list || list->empty())
        return;
    list->removeAtRow(list->cursorPos());
    adjustScrollRange(listScroll_, -1);
    *record = list->childAtRow(list->cursorPos());
    setUpRecordScroll();
    refreshDynamicItems();
    update();
}

void CVelaDialogKeyMapSettings::catalogueChoice(int index, int id) {
    int* chosen = nullptr;
    int first = 0, last = 0;
    if (id >= 401 && id <= 418) { chosen = &mediaCode_; first = 401; last = 418; }
    else if (id >= 502 && id <= 511) { chosen = &mouseCode_; first = 502; last = 511; }
    else if (id >= 601 && id <= 628) { chosen = &functionCode_; first = 601; last = 628; }
    else if (id >= 701 && id <= 703) { chosen = &powerCode_; first = 701; last = 703; }
    if (!chosen || index < 0)
        return;
    SkinItem& item = items_[index];
    if (item.active) {
        // A second click undoes the choice.
        *chosen = -1;
        item.active = false;
    } else {
        *chosen = item.code;
        items_.setActiveRange(first, last, false);
        item.active = true;
    }
    update();
}

void CVelaDialogKeyMapSettings::setScrollRange(CSkinScrollBar* bar, int maximum, int page, int position) {
    ScrollInfo info;
    info.mask = ScrollInfoMask::Range | ScrollInfoMask::Page | ScrollInfoMask::Pos | ScrollInfoMask::DisableNoScroll;
    info.minimum = 0;
    info.maximum = maximum;
    info.page = page;
    info.position = position;
    bar->setScrollInfo(info, true);
}

void CVelaDialogKeyMapSettings::setUpRecordScroll() {
    if (currentPage_ == 2)
        setScrollRange(recordScroll_, macroRecord_.count() + 8, KeyboardConfiguration::kMacroViewRows, 0);
    else if (currentPage_ == 3)
        setScrollRange(recordScroll_, emuRecord_.count() + 8, KeyboardConfiguration::kEmulationViewRows, 0);
}

void CVelaDialogKeyMapSettings::adjustScrollRange(CSkinScrollBar* bar, int delta) {
    ScrollInfo info;
    info.mask = ScrollInfoMask::All;
    bar->getScrollInfo(info);
    info.maximum += delta;
    if (info.maximum < 0)
        info.maximum = info.page - 1;
    info.position = std::min(info.position, info.maximum - info.minimum - info.page + 1);
    info.position = std::max(info.position, info.minimum);
    info.mask = ScrollInfoMask::Range | ScrollInfoMask::Page | ScrollInfoMask::Pos;
    bar->setScrollInfo(info, true);
}

namespace {

// The bar's new position for a scroll action, clamped to its range and written back.
int scrollBarTo(CSkinScrollBar* bar, ScrollCode code, int tracked) {
    ScrollInfo info;
    info.mask = ScrollInfoMask::All;
    bar->getScrollInfo(info);
    int p = info.position;
    switch (code) {
    case ScrollCode::LineUp: --p; break;
    case ScrollCode::LineDown: ++p; break;
    case ScrollCode::PageUp: p -= info.page; break;
    case ScrollCode::PageDown: p += info.page; break;
    case ScrollCode::ThumbTrack: p = tracked; break;
    default: break;
    }
    p = std::min(p, info.maximum - info.minimum - info.page + 1);
    p = std::max(p, info.minimum);
    ScrollInfo pos;
    pos.mask = ScrollInfoMask::Pos;
    pos.position = p;
    bar->setScrollInfo(pos, true);
    return p;
}

}  // namespace

void CVelaDialogKeyMapSettings::onListScrolled(ScrollCode code, int position) {
    const int p = scrollBarTo(listScroll_, code, position);
    KeyEventList* list = pageList();
    KeyEventList* record = pageRecord();
    if (!list)
        return;
    const int before = list->selectedIndex();
    list->setChildAtRow(list->cursorPos(), *record);
    list->scrollTo(p);
    if (list->selectedIndex() != before) {
        *record = list->childAtRow(list->cursorPos());
        setUpRecordScroll();
    }
    refreshDynamicItems();
    const int first = pageListFirstRow();
    invalidateItems(first, first + list->sizeOfView() - 1);
    invalidateItems(first + 20, first + 20 + list->sizeOfView() - 1);
    if (currentPage_ == 1)
        comboText_->update();
}

void CVelaDialogKeyMapSettings::onRecordScrolled(ScrollCode code, int position) {
    const int p = scrollBarTo(recordScroll_, code, position);
    if (currentPage_ == 2) {
        macroRecord_.scrollTo(p);
        invalidateItems(kKeyMapMacroRecordRow, kKeyMapMacroRecordRow + 8);
    } else if (currentPage_ == 3) {
        emuRecord_.scrollTo(p);
        invalidateItems(kKeyMapEmuRecordRow, kKeyMapEmuRecordRow + 8);
    }
    refreshDynamicItems();
}

void CVelaDialogKeyMapSettings::invalidateItems(int firstId, int lastId) {
    const int first = items_.findItem(firstId);
    const int count = lastId < 0 ? 1 : lastId - firstId + 1;
    for (int i = first; i < first + count && i < items_.size(); ++i)
        update(toQRect(items_[i].rect));
}

void CVelaDialogKeyMapSettings::onValueEdited(const QString& text) {
    if (refreshing_)
        return;
    long long v = digitFieldValue(text);
    refreshing_ = true;
    if (currentPage_ == 3) {
        // The pause between the keys of an emulation.
        if (v > kMaxEmulationDelay) {
            v = kMaxEmulationDelay;
            valueEdit_->setText(QString::number(v));
        }
        emuRecord_.setDelay(static_cast<int>(v));
        emuList_.setChildAtRow(emuList_.cursorPos(), emuRecord_);
    } else if (currentPage_ == 2) {
        // How often the macro plays.
        if (v > kMaxCycles) {
            v = kMaxCycles;
            valueEdit_->setText(QString::number(v));
        } else if (v < kMinCycles) {
            v = kMinCycles;
            valueEdit_->setText(QString::number(v));
        }
        macroRecord_.setCycles(static_cast<int>(v));
        macroList_.setChildAtRow(macroList_.cursorPos(), macroRecord_);
    }
    refreshing_ = false;
    update();
}
