// The Uniques/Combo choice and the four Record buttons. A Record button starts its mode and
// shows "Stop Rec"; the next click in the dialog ends the mode again (see dispatchClick).
// The key strokes themselves come with the keyboard capture, which plugs into these start
// and stop points.
#include "CVelaDialogKeyMapSettings.h"

namespace {

QRect toQRect(const SkinRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

}  // namespace

void CVelaDialogKeyMapSettings::setSingleMode(bool single) {
    items_.item(kKeyMapUniques).active = single;
    items_.item(151).active = single;
    items_.item(kKeyMapCombo).active = !single;
    items_.item(152).active = !single;
    singleMode_ = single;
}

void CVelaDialogKeyMapSettings::toggleSingleMode(int id) {
    // Each click flips the choice, whichever of the two is clicked.
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
    if (!singleMode_)
        return;
    setRecordLook(kKeyMapSingleRecord, 154, 155, true);
    singleCapturing_ = true;
    update();
}

void CVelaDialogKeyMapSettings::stopSingleCapture() {
    singleCapturing_ = false;
    setRecordLook(kKeyMapSingleRecord, 154, 155, false);
    update(toQRect(items_.item(kKeyMapSingleRecord).rect));
}

void CVelaDialogKeyMapSettings::startComboCapture() {
    if (comboList_.empty() || singleMode_)
        return;  // a combination is recorded into an existing entry
    setRecordLook(kKeyMapComboRecord, 159, 160, true);
    comboCapturing_ = true;
    update();
}

void CVelaDialogKeyMapSettings::stopComboCapture() {
    if (comboList_.selectedIndex() < comboList_.count())
        comboList_.setChildAtRow(comboList_.cursorPos(), comboRecord_);
    comboCapturing_ = false;
    setRecordLook(kKeyMapComboRecord, 159, 160, false);
    update(toQRect(items_.item(kKeyMapComboRecord).rect));
}

void CVelaDialogKeyMapSettings::startMacroRecording() {
    if (macroList_.empty())
        return;
    setRecordLook(kKeyMapMacroRecord, 267, 268, true);
    macroRecording_ = true;
    update();
}

void CVelaDialogKeyMapSettings::stopMacroRecording() {
    if (macroList_.selectedIndex() < macroList_.count())
        macroList_.setChildAtRow(macroList_.cursorPos(), macroRecord_);
    macroRecording_ = false;
    setRecordLook(kKeyMapMacroRecord, 267, 268, false);
    update(toQRect(items_.item(kKeyMapMacroRecord).rect));
}

void CVelaDialogKeyMapSettings::startEmuRecording() {
    if (emuList_.empty())
        return;
    setRecordLook(kKeyMapEmuRecord, 352, 353, true);
    emuRecording_ = true;
    update();
}

void CVelaDialogKeyMapSettings::stopEmuRecording() {
    if (emuList_.selectedIndex() < emuList_.count())
        emuList_.setChildAtRow(emuList_.cursorPos(), emuRecord_);
    emuRecording_ = false;
    setRecordLook(kKeyMapEmuRecord, 352, 353, false);
    update(toQRect(items_.item(kKeyMapEmuRecord).rect));
}
