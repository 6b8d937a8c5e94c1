// The Uniques/Combo choice, the four Record buttons and the key strokes they record. A Record
// button installs the keyboard capture and shows "Stop Rec"; the next click in the dialog
// ends the mode again (see dispatchClick), and so does every way the dialog closes. The
// capture's key strokes arrive through KeyMapHookTarget as queued calls on the GUI thread.

#include <QPlainTextEdit>

#include "KeyMapHookTarget.h"
#include "KeyboardConfiguration.h"
#include "ShellServices.h"

namespace {

QRect toQRect(const SkinRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

// The remembered Shift states of the platform, shared by every opening of the dialog.
ShiftSideMemory& shiftMemory() {
    static ShiftSideMemory memory;
    return memory;
}

}  // namespace

void CVelaDialogKeyMapSettings::setKeyCapture(KeyCapture* capture) {
    releaseCapture();
    capture_ = capture;
}

void CVelaDialogKeyMapSettings::setClock(MillisecondClock clock) { clock_ = std::move(clock); }

void CVelaDialogKeyMapSettings::setMessageBoxes(MessageBoxes* boxes) { messages_ = boxes; }

KeyCapture& CVelaDialogKeyMapSettings::capture() const {
    return capture_ ? *capture_ : *libraryCapture_;
}

std::int64_t CVelaDialogKeyMapSettings::now() const { return clock_ ? clock_() : steadyMilliseconds(); }

void CVelaDialogKeyMapSettings::showMessage(const QString& text) {
    if (messages_)
        messages_->show(this, text);
    else
        qtMessages_->show(this, text);
}

bool CVelaDialogKeyMapSettings::installCapture() {
    if (capture().install(hookTarget_.get())) {
        captureInstalled_ = true;
        return true;
    }
    // The Record button does not pretend: say why nothing will be recorded.
    const bool chinese = language_ == "zh-CN";
    QString text;
    if (capture().isAvailable())
        text = chinese ? QStringLiteral("现在无法捕获按键：另一个程序占用了键盘。")
                       : QStringLiteral("Keys cannot be captured now: another program holds the keyboard.");
    else
        text = chinese ? QStringLiteral("此处无法捕获按键：桌面不提供键盘捕获。")
                       : QStringLiteral("Keys cannot be captured here: the desktop offers no keyboard capture.");
    showMessage(text);
    return false;
}

void CVelaDialogKeyMapSettings::uninstallCapture() {
    if (!captureInstalled_)
        return;
    capture().uninstall();
    captureInstalled_ = false;
}

void CVelaDialogKeyMapSettings::releaseCapture() {
    if (singleCapturing_)
        stopSingleCapture();
    if (comboCapturing_)
        stopComboCapture();
    if (macroRecording_)
        stopMacroRecording();
    if (emuRecording_)
        stopEmuRecording();
    uninstallCapture();
}

void CVelaDialogKeyMapSettings::done(int result) {
    releaseCapture();
    QDialog::done(result);
}

void CVelaDialogKeyMapSettings::resetKeyTracking() {
    keyIsDown_.fill(false);
    lastEventCode_ = -1;
    lastEventTime_.reset();
}

void CVelaDialogKeyMapSettings::setSingleMode(bool single) {
    items_.item(kKeyMapUniques).active = single;
    items_.item(151).active = single;
    items_.item(kKeyMapCombo).active = !single;
    items_.item(152).active = !single;
    singleMode_ = single;
}

void CVelaDialogKeyMapSettings::toggleSingleMode(int id) {
    // Each click flips the choice, whichever of the two is clicked. No capture runs here: the
    // click would have stopped it first.
    const bool clickedSelected = items_.item(id).active;
    const bool clickedIsUniques = id == kKeyMapUniques;
    setSingleMode(clickedSelected ? !clickedIsUniques : clickedIsUniques);
    singleCapturing_ = false;
    comboCapturing_ = false;
    update();
}

void CVelaDialogKeyMapSettings::setRecordLook(int buttonId, int recordCaption, int stopCaption, bool recording) {
    items_.item(buttonId).active = recording;
    items_.item(recordCaption).visible = !recording;
    items_.item(stopCaption).visible = recording;
}

void CVelaDialogKeyMapSettings::startSingleCapture() {
    if (!singleMode_) {
        update();
        return;
    }
    resetKeyTracking();
    if (!installCapture())
        return;
    setRecordLook(kKeyMapSingleRecord, 154, 155, true);
    singleCapturing_ = true;
    update();
}

void CVelaDialogKeyMapSettings::stopSingleCapture() {
    uninstallCapture();
    singleCapturing_ = false;
    setRecordLook(kKeyMapSingleRecord, 154, 155, false);
    update(toQRect(items_.item(kKeyMapSingleRecord).rect));
}

void CVelaDialogKeyMapSettings::startComboCapture() {
    if (comboList_.empty() || singleMode_)
        return;  // a combination is recorded into an existing entry
    resetKeyTracking();
    if (!installCapture())
        return;
    setRecordLook(kKeyMapComboRecord, 159, 160, true);
    comboCapturing_ = true;
    comboRecord_.clear();  // a new recording replaces the old keys
    update();
}

void CVelaDialogKeyMapSettings::stopComboCapture() {
    uninstallCapture();
    if (comboList_.selectedIndex() < comboList_.count())
        comboList_.setChildAtRow(comboList_.cursorPos(), comboRecord_);
    comboCapturing_ = false;
    setRecordLook(kKeyMapComboRecord, 159, 160, false);
    update(toQRect(items_.item(kKeyMapComboRecord).rect));
}

void CVelaDialogKeyMapSettings::startMacroRecording() {
    if (macroList_.empty())
        return;
    resetKeyTracking();
    if (!installCapture())
        return;
    setRecordLook(kKeyMapMacroRecord, 267, 268, true);
    macroRecording_ = true;
    // The recording replaces the events; the loop count and the Auto choice stay.
    const int cycles = macroRecord_.cycles();
    const bool autoInterval = macroRecord_.isAutoInterval();
    macroRecord_.clear();
    macroRecord_.setCycles(cycles);
    macroRecord_.setAutoInterval(autoInterval);
    adjustScrollRange(recordScroll_, -20000);
    update();
}

void CVelaDialogKeyMapSettings::stopMacroRecording() {
    uninstallCapture();
    if (macroList_.selectedIndex() < macroList_.count())
        macroList_.setChildAtRow(macroList_.cursorPos(), macroRecord_);
    macroRecording_ = false;
    setRecordLook(kKeyMapMacroRecord, 267, 268, false);
    update(toQRect(items_.item(kKeyMapMacroRecord).rect));
}

void CVelaDialogKeyMapSettings::startEmuRecording() {
    if (emuList_.empty())
        return;
    resetKeyTracking();
    if (!installCapture())
        return;
    setRecordLook(kKeyMapEmuRecord, 352, 353, true);
    emuRecording_ = true;
    const int delay = emuRecord_.delay();
    emuRecord_.clear();
    emuRecord_.setDelay(delay);
    adjustScrollRange(recordScroll_, -20000);
    update();
}

void CVelaDialogKeyMapSettings::stopEmuRecording() {
    uninstallCapture();
    if (emuList_.selectedIndex() < emuList_.count())
        emuList_.setChildAtRow(emuList_.cursorPos(), emuRecord_);
    emuRecording_ = false;
    setRecordLook(kKeyMapEmuRecord, 352, 353, false);
    update(toQRect(items_.item(kKeyMapEmuRecord).rect));
}

void CVelaDialogKeyMapSettings::onHookedKey(std::uint32_t wParam, std::uint32_t lParam) {
    const DecodedKey key = decodeHookedKey(wParam, lParam, capture(), shiftMemory());
    const std::int64_t time = now();
    const std::int64_t elapsed = lastEventTime_ ? clampedDelay(time, *lastEventTime_) : 0;

    // A key without a keyboard code is reported after the bookkeeping: the message box runs
    // its own event loop, in which the next keys already arrive.
    QString unknownKey;
    if (singleCapturing_) {
        if (!key.released && key.code != lastEventCode_) {
            const KeyCatalogue& catalogue = configuration_.catalogue;
            const int k = catalogue.keyboardCodeOfHost(key.code & KeyCatalogue::kHostCodeMask);
            singleKeyCode_ = catalogue.hostCodeOfKeyboard(k);
            if (singleKeyCode_ != key.code)
                unknownKey = QString::asprintf("a=%d, b=%d, c=%d", key.code, k, singleKeyCode_);
            refreshDynamicItems();
            invalidateItems(158);
        }
    } else if (comboCapturing_) {
        captureCombo(key);
    } else if (macroRecording_) {
        recordMacroEvent(key, elapsed);
    } else if (emuRecording_) {
        recordEmulationKey(key);
    }
    // Every key counts for the next one's delay and repeat test, also one a branch ignored.
    lastEventTime_ = time;
    lastEventCode_ = key.code;

    if (!unknownKey.isEmpty())
        showMessage(unknownKey);
}

void CVelaDialogKeyMapSettings::captureCombo(const DecodedKey& key) {
    // A held key repeats its press with the same code and is taken once; releases only
    // separate two presses of one key.
    if (key.released || key.code == lastEventCode_ || comboRecord_.count() >= kMaxComboKeys)
        return;
    comboRecord_.setOrAppend(KeyEventList::kAppendRow, configuration_.catalogue.nameOfHostCode(key.code, false));
    refreshDynamicItems();
    invalidateItems(kKeyMapComboRecordRow, kKeyMapComboRecordRow + 5);
    comboText_->update();
}

void CVelaDialogKeyMapSettings::recordMacroEvent(const DecodedKey& key, std::int64_t elapsed) {
    // Only a change of the key's state counts: a press of a key that is up, a release of one
    // that is down. Auto-repeats and the release of a key held before Record are dropped.
    bool& down = keyIsDown_[static_cast<std::size_t>(key.vk)];
    if (key.released != down)
        return;
    down = !key.released;
    const bool autoInterval = macroRecord_.isAutoInterval();
    // A delay stands between two events: none before the first one recorded, also when
    // ignored keys came before it, so the events keep the even places that Auto relies on.
    if (lastEventTime_ && !macroRecord_.empty() && !autoInterval && macroRecord_.count() < kMaxMacroEntries) {
        macroRecord_.setOrAppend(KeyEventList::kAppendRow, "<" + std::to_string(elapsed) + " ms>");
        adjustScrollRange(recordScroll_, +1);
    }
    if (macroRecord_.count() < macroLimit()) {
        macroRecord_.setOrAppend(KeyEventList::kAppendRow, configuration_.catalogue.nameOfHostCode(key.code, true));
        adjustScrollRange(recordScroll_, +1);
    }
    refreshDynamicItems();
    invalidateItems(kKeyMapMacroRecordRow, kKeyMapMacroRecordRow + 8);
}

void CVelaDialogKeyMapSettings::recordEmulationKey(const DecodedKey& key) {
    bool& down = keyIsDown_[static_cast<std::size_t>(key.vk)];
    if (key.released != down)
        return;
    down = !key.released;
    if (key.released || emuRecord_.count() >= kMaxEmulationKeys || key.code == lastEventCode_)
        return;
    emuRecord_.setOrAppend(KeyEventList::kAppendRow, configuration_.catalogue.nameOfHostCode(key.code, false));
    adjustScrollRange(recordScroll_, +1);
    refreshDynamicItems();
    invalidateItems(kKeyMapEmuRecordRow, kKeyMapEmuRecordRow + 8);
}
