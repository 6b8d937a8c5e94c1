// Editing a macro on the Macro page: the Auto check box, the delay editor and the mouse-action
// menu of the record list (mouse buttons and wheel inserted, entries deleted). Every edit is
// written back into the selected entry of the macro list at once.
#include "CVelaDialogKeyMapSettings.h"

#include <QLineEdit>
#include <QMenu>

#include <string>

#include "KeyMapFields.h"
#include "KeyboardConfiguration.h"

namespace {

constexpr const char* kZeroDelay = "<0 ms>";

// Keyboard codes of the mouse entries a macro can hold.
constexpr int kMouseLeft = 130;
constexpr int kMouseRight = 131;
constexpr int kMouseMiddle = 132;
constexpr int kWheelUp = 133;
constexpr int kWheelDown = 134;

bool isDelayEntry(const std::string& entry) { return !entry.empty() && entry.front() == '<'; }


struct MenuTexts {
    const char* left;
    const char* right;
    const char* middle;
    const char* wheel;
    const char* press;
    const char* release;
    const char* click;
    const char* up;
    const char* down;
    const char* remove;
};

constexpr MenuTexts kChineseMenu{"鼠标左键", "鼠标右键", "鼠标中键", "滚轮", "按下", "释放", "点击", "前翻", "后翻", "删除"};
constexpr MenuTexts kEnglishMenu{"Left Click", "Right Click", "Middle Click", "Wheel", "Press", "Release",
                                 "Click", "Up", "Down", "Deleta"};

}  // namespace

int CVelaDialogKeyMapSettings::macroLimit() const {
    return macroRecord_.isAutoInterval() ? kMaxAutoMacroEntries : kMaxMacroEntries;
}

void CVelaDialogKeyMapSettings::storeMacroRecord() {
    macroList_.setChildAtRow(macroList_.cursorPos(), macroRecord_);
}

void CVelaDialogKeyMapSettings::toggleAutoInterval() {
    SkinItem& box = items_.item(kKeyMapAutoInterval);
    box.active = !box.active;
    const bool autoOn = box.active;
    const int before = macroRecord_.count();

    KeyEventList rebuilt(macroRecord_.sizeOfView());
    rebuilt.setCycles(macroRecord_.cycles());
    rebuilt.setAutoInterval(macroRecord_.isAutoInterval());
    const std::vector<std::string>& entries = macroRecord_.items();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (autoOn) {
            // The events stand at the even places; the measured delays between them go.
            if (i % 2 == 0)
                rebuilt.setOrAppend(KeyEventList::kAppendRow, entries[i]);
        } else {
            if (i > 0)
                rebuilt.setOrAppend(KeyEventList::kAppendRow, kZeroDelay);
            rebuilt.setOrAppend(KeyEventList::kAppendRow, entries[i]);
        }
    }
    macroRecord_ = rebuilt;
    macroRecord_.setAutoInterval(autoOn);
    // Events of a long automatic macro that no longer fit once delays stand between them
    // are cut from the end, as the menu's edits cut.
    while (macroRecord_.count() > macroLimit())
        macroRecord_.removeAtRow(KeyEventList::kAppendRow);
    adjustScrollRange(recordScroll_, macroRecord_.count() - before);
    storeMacroRecord();
    update();
}

void CVelaDialogKeyMapSettings::clickDelayButton() {
    SkinItem& button = items_.item(kKeyMapDelayButton);
    if (!button.active) {
        // Only a delay entry such as "<35 ms>" can be edited: its number goes into the field.
        const std::string entry = macroRecord_.itemAtRow(macroRecord_.cursorPos());
        const std::size_t close = entry.find('>');
        if (isDelayEntry(entry) && close == entry.size() - 1) {
            const int digits = std::max(0, static_cast<int>(entry.size()) - 5);
            delayEdit_->setText(QString::fromStdString(entry.substr(1, static_cast<std::size_t>(digits))));
            button.active = true;
            delayEdit_->setEnabled(true);
            delayEdit_->setFocus();
        }
    } else {
        const int v = digitFieldValue(delayEdit_->text());
        if (macroRecord_.viewStartAt() + macroRecord_.cursorPos() < macroRecord_.count()) {
            macroRecord_.setOrAppend(macroRecord_.cursorPos(), "<" + std::to_string(v) + " ms>");
            storeMacroRecord();
        }
        button.active = false;
        delayEdit_->clear();
        delayEdit_->setEnabled(false);
    }
    delayEditing_ = button.active;
    update();
}

void CVelaDialogKeyMapSettings::showMouseActionMenu(QPoint point) {
    const int index = items_.hitTest(currentPage_, point.x(), point.y());
    const int id = index >= 0 ? items_[index].id : -1;
    if (id < kKeyMapMacroRecordRow || id > kKeyMapMacroRecordRow + 8)
        return;
    if (macroRecord_.viewStartAt() + (id - kKeyMapMacroRecordRow) >= macroRecord_.count())
        return;  // an empty row opens no menu
    menuTargetItem_ = index;

    const MenuTexts* texts = language_ == "zh-CN" ? &kChineseMenu : language_ == "en-US" ? &kEnglishMenu : nullptr;
    if (!texts)
        return;  // no menu texts in other languages, so nothing to choose from
    if (mouseMenu_)
        mouseMenu_->deleteLater();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto add = [this](QMenu* to, const char* text, int command) {
        QAction* action = to->addAction(QString::fromUtf8(text));
        action->setData(command);
        connect(action, &QAction::triggered, this, [this, command] { runMouseActionCommand(command); });
    };
    const auto button = [&](const char* title, int first) {
        QMenu* sub = menu->addMenu(QString::fromUtf8(title));
        add(sub, texts->press, first);
        add(sub, texts->release, first + 1);
        add(sub, texts->click, first + 2);
    };
    button(texts->left, kMenuLeftPress);
    button(texts->right, kMenuRightPress);
    button(texts->middle, kMenuMiddlePress);
    QMenu* wheel = menu->addMenu(QString::fromUtf8(texts->wheel));
    add(wheel, texts->up, kMenuWheelUp);
    add(wheel, texts->down, kMenuWheelDown);
    add(menu, texts->remove, kMenuDelete);
    mouseMenu_ = menu;
    menu->popup(mapToGlobal(point));
}

QMenu* CVelaDialogKeyMapSettings::mouseActionMenu() const { return mouseMenu_.data(); }

void CVelaDialogKeyMapSettings::runMouseActionCommand(int command) {
    if (command < kMenuLeftPress || command > kMenuDelete || menuTargetItem_ < 0 || menuTargetItem_ >= items_.size())
        return;
    const int row = items_[menuTargetItem_].id - kKeyMapMacroRecordRow;
    // The row was checked when the menu opened; the list may have changed since.
    if (row < 0 || row > 8 || macroRecord_.viewStartAt() + row >= macroRecord_.count())
        return;
    const bool autoOn = macroRecord_.isAutoInterval();
    const bool targetIsDelay = isDelayEntry(macroRecord_.itemAtRow(row));
    // Insertions go before the right-clicked entry, so the entry inserted last ends up first.
    const auto insert = [&](const std::string& entry) {
        macroRecord_.insertAtRow(row, entry);
        adjustScrollRange(recordScroll_, +1);
    };
    const auto insertDelay = [&] {
        if (!autoOn)
            insert(kZeroDelay);
    };

    int mouseCode = 0;
    bool twice = false;
    switch (command) {
    case kMenuLeftPress: case kMenuLeftRelease: mouseCode = kMouseLeft; break;
    case kMenuRightPress: case kMenuRightRelease: mouseCode = kMouseRight; break;
    case kMenuMiddlePress: case kMenuMiddleRelease: mouseCode = kMouseMiddle; break;
    case kMenuWheelUp: mouseCode = kWheelUp; break;
    case kMenuWheelDown: mouseCode = kWheelDown; break;
    case kMenuLeftClick: mouseCode = kMouseLeft; twice = true; break;
    case kMenuRightClick: mouseCode = kMouseRight; twice = true; break;
    case kMenuMiddleClick: mouseCode = kMouseMiddle; twice = true; break;
    default: break;
    }

    if (command == kMenuDelete) {
        const int before = macroRecord_.count();
        const int index = macroRecord_.viewStartAt() + row;
        macroRecord_.removeAtRow(row);
        if (!autoOn && !macroRecord_.empty()) {
            // Events and delays alternate: the entry's partner goes with it, the one that
            // followed it, or the one before it when it was the last.
            const int partner = index < macroRecord_.count() ? index : index - 1;
            macroRecord_.removeAtRow(partner - macroRecord_.viewStartAt());
        }
        adjustScrollRange(recordScroll_, macroRecord_.count() - before);
    } else if (mouseCode != 0) {
        // A mouse button entry has no direction; a click is two of them. The result keeps
        // events and delays alternating on both sides of the target.
        const std::string mouse = configuration_.catalogue.nameOfKeyboardCode(mouseCode);
        for (int n = 0; n < (twice ? 2 : 1); ++n) {
            if (targetIsDelay) {
                insert(mouse);
                insertDelay();
            } else {
                insertDelay();
                insert(mouse);
            }
        }
    }

    while (macroRecord_.count() > macroLimit()) {
        macroRecord_.removeAtRow(KeyEventList::kAppendRow);
        adjustScrollRange(recordScroll_, -1);
    }
    storeMacroRecord();
    update();
}
