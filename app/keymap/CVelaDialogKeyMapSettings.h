#pragma once
// The key assignment dialog: what the current key does on the current level. Seven pages
// (Uni/Combo, Macro, Emulate, Multimedia, Mouse, Function, Power) drawn from three skin
// pictures each and the 202-item table; OK stores the page shown, Cancel and the close box
// discard everything. It edits copies of the three predefined lists and writes the list of
// the page shown back on OK.
//
// The work is split by job: this file and CVelaDialogKeyMapSettings.cpp hold the frame
// (opening, pages, OK, Clear, Cancel, the click dispatcher, keys), KeyMapPainting.cpp the
// painting, hover and tooltips, KeyMapLists.cpp the predefined lists, their scrolling and the
// catalogue pages, KeyMapCapture.cpp the Uniques/Combo choice, the Record buttons and the key
// strokes they record, KeyMapMacroEditing.cpp the Auto check box, the delay editor and the
// mouse-action menu of the Macro page.

#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "CSkinScrollBar.h"
#include "KeyCapture.h"
#include "KeyEventList.h"
#include "KeyMapItemTable.h"

class KeyboardConfiguration;
class KeyMapHookTarget;
class MessageBoxes;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class SkinResources;

class CVelaDialogKeyMapSettings : public QDialog {
    Q_OBJECT

public:
    // Control ids of the dialog's children, kept as the children's object names
    // ("valueEdit" ...) and used by the colour rule.
    static constexpr int kValueEditId = 1001;
    static constexpr int kDelayEditId = 1002;
    static constexpr int kRenameEditId = 1003;
    static constexpr int kComboTextId = 1005;
    static constexpr int kListScrollId = 1006;
    static constexpr int kRecordScrollId = 1007;

    // Longest emulation delay the field accepts, milliseconds; loop count range of a macro.
    static constexpr int kMaxEmulationDelay = 6000;
    static constexpr int kMinCycles = 1;
    static constexpr int kMaxCycles = 250;
    // The FN function of the Function page: OK puts it on both levels of the key.
    static constexpr int kFnCode = 156;
    // Entries a macro holds at most, without and with the automatic interval; keys of a
    // combination and of an emulation.
    static constexpr int kMaxMacroEntries = 127;
    static constexpr int kMaxAutoMacroEntries = 254;
    static constexpr int kMaxComboKeys = 6;
    static constexpr int kMaxEmulationKeys = 6;
    // Commands of the mouse-action menu of the Macro page's record list.
    enum MouseMenuCommand : int {
        kMenuLeftPress = 1135, kMenuLeftRelease, kMenuLeftClick,
        kMenuRightPress, kMenuRightRelease, kMenuRightClick,
        kMenuMiddlePress, kMenuMiddleRelease, kMenuMiddleClick,
        kMenuWheelUp, kMenuWheelDown,
        kMenuDelete = 1147,
    };

    // Where a point of the dialog leads when pressed: an item, the window's edge, or free
    // background that drags the window.
    enum class HitArea { Client, Caption, Right, Bottom, BottomRight };

    // Reads the current key's setting on the current level and the predefined lists from
    // `configuration`, and opens on the page of the key's kind. Both references must outlive
    // the dialog. Nothing is written to the configuration before OK.
    CVelaDialogKeyMapSettings(KeyboardConfiguration& configuration, SkinResources& skin,
                              QWidget* parent = nullptr);
    ~CVelaDialogKeyMapSettings() override;

    // Seams for recording keys. Each is observed, not owned, and must outlive the dialog; null
    // restores the real one (the library's capture, steady_clock, Qt's message boxes).
    void setKeyCapture(KeyCapture* capture);
    void setClock(MillisecondClock clock);
    void setMessageBoxes(MessageBoxes* boxes);
    // Whether the keyboard capture is installed for this dialog now.
    bool captureInstalled() const { return captureInstalled_; }
    // The mouse-action menu last opened over a record row of the Macro page, while it exists.
    QMenu* mouseActionMenu() const;
    // Runs a command of the mouse-action menu on the row it was opened over. Other ids are
    // ignored.
    void runMouseActionCommand(int command);

    // Page 1..7 shown.
    int currentPage() const { return currentPage_; }
    // Shows page index + 1 (index 0..6); other indices are ignored.
    void showPage(int index);

    const KeyMapItemTable& items() const { return items_; }
    // The item's text as the dialog shows it now, in the dialog's language.
    QString itemText(int id) const;
    bool isSelected(int id) const { return items_.item(id).active; }
    bool isTextVisible(int id) const { return items_.item(id).visible; }

    // Working state.
    bool singleMode() const { return singleMode_; }
    int singleKeyCode() const { return singleKeyCode_; }
    bool singleCapturing() const { return singleCapturing_; }
    bool comboCapturing() const { return comboCapturing_; }
    bool macroRecording() const { return macroRecording_; }
    bool emuRecording() const { return emuRecording_; }
    bool delayEditing() const { return delayEditing_; }
    bool renaming() const { return renaming_; }
    int mediaCode() const { return mediaCode_; }
    int mouseCode() const { return mouseCode_; }
    int functionCode() const { return functionCode_; }
    int powerCode() const { return powerCode_; }
    const KeyEventList& comboList() const { return comboList_; }
    const KeyEventList& comboRecord() const { return comboRecord_; }
    const KeyEventList& macroList() const { return macroList_; }
    const KeyEventList& macroRecord() const { return macroRecord_; }
    const KeyEventList& emuList() const { return emuList_; }
    const KeyEventList& emuRecord() const { return emuRecord_; }
    QPoint mousePoint() const { return mousePoint_; }

    QLineEdit* valueEdit() const { return valueEdit_; }
    QLineEdit* delayEdit() const { return delayEdit_; }
    QLineEdit* renameEdit() const { return renameEdit_; }
    QPlainTextEdit* comboText() const { return comboText_; }
    CSkinScrollBar* listScroll() const { return listScroll_; }
    CSkinScrollBar* recordScroll() const { return recordScroll_; }

    // What pressing at `point` (client pixels) starts, as the hit test of the window answers it.
    HitArea hitArea(QPoint point) const;
    // The tooltip text for a point: the tip of the catalogue icon under it in the dialog's
    // language, empty over anything else and over the selected icon.
    QString tooltipAt(QPoint point) const;

    // Writes the renamed entry's name from renameEdit into its list and closes the editor.
    void commitRename();
    // Refreshes the page's run-time texts and selections from the working state (as every
    // repaint does first).
    void refreshDynamicItems();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    // Every way the dialog closes (OK, Cancel, the close box, Return, Esc, closing the window)
    // releases the keyboard capture first.
    void done(int result) override;

private:
    friend class KeyMapHookTarget;
    // Frame (CVelaDialogKeyMapSettings.cpp).
    void createControls();
    void placeWindow();
    void loadLists();
    void chooseStartPage();
    void updateShape();
    void dispatchClick(QPoint point);
    void dispatchId(int index, int id);
    void ok();
    void clearPage();
    void cancel();

    // Painting and hover (KeyMapPainting.cpp).
    void trackPointer(QPoint point);
    void paintItems(class QPainter& painter);
    void showTooltip(QPoint localPos, QPoint globalPos);

    // Lists and catalogues (KeyMapLists.cpp).
    void clickListRow(int id);
    void clickRecordRow(int id);
    void newEntry();
    void deleteEntry();
    void catalogueChoice(int index, int id);
    void openRenameEditor(int rowId, const QString& text);
    void onListScrolled(ScrollCode code, int position);
    void onRecordScrolled(ScrollCode code, int position);
    void onValueEdited(const QString& text);
    void adjustScrollRange(CSkinScrollBar* bar, int delta);
    void setScrollRange(CSkinScrollBar* bar, int maximum, int page, int position);
    void setUpRecordScroll();
    void invalidateItems(int firstId, int lastId = -1);
    // The page's predefined list and record list (page 1..3), null elsewhere.
    KeyEventList* pageList();
    KeyEventList* pageRecord();
    int pageListFirstRow() const;

    // Choice and Record buttons (KeyMapCapture.cpp).
    void toggleSingleMode(int id);
    void setSingleMode(bool single);
    void startSingleCapture();
    void stopSingleCapture();
    void startComboCapture();
    void stopComboCapture();
    void startMacroRecording();
    void stopMacroRecording();
    void startEmuRecording();
    void stopEmuRecording();
    void setRecordLook(int buttonId, int recordCaption, int stopCaption, bool recording);
    bool installCapture();
    void uninstallCapture();
    void releaseCapture();
    void resetKeyTracking();
    KeyCapture& capture() const;
    std::int64_t now() const;
    void onHookedKey(std::uint32_t wParam, std::uint32_t lParam);
    void captureSingle(const DecodedKey& key);
    void captureCombo(const DecodedKey& key);
    void recordMacroEvent(const DecodedKey& key, std::int64_t elapsed);
    void recordEmulationKey(const DecodedKey& key);
    void showMessage(const QString& text);

    // The Macro page's editing (KeyMapMacroEditing.cpp).
    void toggleAutoInterval();
    void clickDelayButton();
    void showMouseActionMenu(QPoint point);
    void storeMacroRecord();
    int macroLimit() const;

    KeyboardConfiguration& configuration_;
    SkinResources& skin_;
    std::string language_;
    KeyMapItemTable items_;

    int currentPage_ = 1;
    QPixmap background_, hover_, selected_;
    std::array<QRegion, 7> shapes_{};
    QPoint mousePoint_{-1, -1};

    bool singleMode_ = true;
    int singleKeyCode_ = -1;
    bool singleCapturing_ = false;
    bool comboCapturing_ = false;
    bool macroRecording_ = false;
    bool emuRecording_ = false;
    bool delayEditing_ = false;
    bool renaming_ = false;
    int mediaCode_ = -1;
    int mouseCode_ = -1;
    int functionCode_ = -1;
    int powerCode_ = -1;
    KeyEventList comboList_, comboRecord_;
    KeyEventList macroList_, macroRecord_;
    KeyEventList emuList_, emuRecord_;

    QLineEdit* valueEdit_ = nullptr;
    QLineEdit* delayEdit_ = nullptr;
    QLineEdit* renameEdit_ = nullptr;
    QPlainTextEdit* comboText_ = nullptr;
    CSkinScrollBar* listScroll_ = nullptr;
    CSkinScrollBar* recordScroll_ = nullptr;

    bool refreshing_ = false;     // the dialog itself is writing the edits' texts
    bool pressed_ = false;        // a left press inside the dialog that may become a click
    bool dragging_ = false;       // the press moves the window
    QPoint dragOffset_;           // pointer minus window position at the press
    QString tipText_;             // the tooltip of the icon under the pointer
    QTimer tipTimer_;             // shows tipText_ after the pointer rested on the icon

    // Recording keys.
    std::unique_ptr<KeyCapture> libraryCapture_;
    KeyCapture* capture_ = nullptr;
    MillisecondClock clock_;
    std::unique_ptr<MessageBoxes> qtMessages_;
    MessageBoxes* messages_ = nullptr;
    std::unique_ptr<KeyMapHookTarget> hookTarget_;
    bool captureInstalled_ = false;
    std::optional<std::int64_t> lastEventTime_;  // none before the first key of a recording
    int lastEventCode_ = -1;
    std::array<bool, 256> keyIsDown_{};
    int menuTargetItem_ = -1;                    // item index of the right-clicked record row
    QPointer<QMenu> mouseMenu_;
};
