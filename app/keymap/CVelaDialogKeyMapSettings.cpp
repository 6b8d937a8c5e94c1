// The frame of the key assignment dialog: opening, the pages and their controls, the click
// dispatcher, OK, Clear and Cancel, and the keys the dialog handles itself.
#include "CVelaDialogKeyMapSettings.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QToolTip>
#include <QWindow>

#include "KeyMapHookTarget.h"
#include "KeyboardConfiguration.h"
#include "QtShellServices.h"
#include "SkinResources.h"

namespace {

constexpr QRgb kColourKeyRed = qRgb(255, 0, 0);

QRect toQRect(const SkinRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

// The orange-on-dark look of the four edits.
void paintAsEdit(QWidget* w) {
    QPalette palette = w->palette();
    const QColor text(skinRed(kSkinEditText), skinGreen(kSkinEditText), skinBlue(kSkinEditText));
    const QColor back(skinRed(kSkinEditBackground), skinGreen(kSkinEditBackground), skinBlue(kSkinEditBackground));
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Base, back);
        palette.setColor(group, QPalette::Window, back);
    }
    w->setPalette(palette);
    w->setAutoFillBackground(true);
}

bool isReturn(const QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

CVelaDialogKeyMapSettings::CVelaDialogKeyMapSettings(KeyboardConfiguration& configuration,
                                                     SkinResources& skin, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      configuration_(configuration),
      skin_(skin),
      language_(configuration.language),
      libraryCapture_(std::make_unique<LibraryKeyCapture>()),
      qtMessages_(std::make_unique<QtMessageBoxes>()),
      hookTarget_(std::make_unique<KeyMapHookTarget>(this)) {
    // Never shown (the window has no frame); names the window for the desktop and its tools.
    setWindowTitle(QStringLiteral("Key Settings"));
    setMouseTracking(true);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    // Tooltips of the catalogue icons: blue on yellow. The edits are orange on dark; with a
    // style sheet in force their palette alone would not colour the line edits.
    setStyleSheet(QStringLiteral("QToolTip { color: #0000ff; background-color: #ffff00; }"
                                 "QLineEdit, QPlainTextEdit { color: #ff6f00; background-color: #141414; border: none; }"));
    tipTimer_.setSingleShot(true);
    tipTimer_.setInterval(100);
    connect(&tipTimer_, &QTimer::timeout, this, [this] {
        if (!tipText_.isEmpty())
            QToolTip::showText(mapToGlobal(mousePoint_), tipText_, this);
    });

    placeWindow();
    createControls();
    loadLists();
    chooseStartPage();
}

// A dialog destroyed while it records (the program ending, its parent going) lets go of the
// keyboard before anything of it is gone.
CVelaDialogKeyMapSettings::~CVelaDialogKeyMapSettings() { releaseCapture(); }

void CVelaDialogKeyMapSettings::placeWindow() {
    const QPixmap& first = skin_.bitmap(kKeyMapPagePictures[0].background);
    const QSize size = first.isNull() ? QSize(kKeyMapSkinSize.width, kKeyMapSkinSize.height) : first.size();
    setFixedSize(size);
    if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen()) {
        const QRect g = screen->geometry();
        move(g.x() + (g.width() - size.width()) / 2, g.y() + (g.height() - size.height()) / 2);
    }
    // The window's shape per page: every pixel but the red colour key.
    for (int page = 0; page < kKeyMapPageCount; ++page) {
        const QPixmap& picture = skin_.bitmap(kKeyMapPagePictures[page].background);
        if (picture.isNull())
            continue;
        const QImage rgb = picture.toImage().convertToFormat(QImage::Format_RGB32);
        shapes_[static_cast<std::size_t>(page)] =
            QRegion(QBitmap::fromImage(rgb.createMaskFromColor(kColourKeyRed, Qt::MaskInColor)));
    }
}

void CVelaDialogKeyMapSettings::createControls() {
    const auto digitsOnly = [this](QLineEdit* edit) {
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    };
    valueEdit_ = new QLineEdit(this);
    valueEdit_->setObjectName(QStringLiteral("valueEdit"));
    digitsOnly(valueEdit_);
    valueEdit_->setGeometry(toQRect(kKeyMapValueEdit));
    connect(valueEdit_, &QLineEdit::textChanged, this, &CVelaDialogKeyMapSettings::onValueEdited);

    delayEdit_ = new QLineEdit(this);
    delayEdit_->setObjectName(QStringLiteral("delayEdit"));
    digitsOnly(delayEdit_);
    delayEdit_->setGeometry(toQRect(kKeyMapDelayEdit));

    renameEdit_ = new QLineEdit(this);
    renameEdit_->setObjectName(QStringLiteral("renameEdit"));
    renameEdit_->setAlignment(Qt::AlignCenter);
    renameEdit_->hide();
    renameEdit_->setEnabled(false);

    comboText_ = new QPlainTextEdit(this);
    comboText_->setObjectName(QStringLiteral("comboText"));
    comboText_->setReadOnly(true);
    comboText_->setCursorWidth(0);  // a read-only text shows no caret
    comboText_->setFrameShape(QFrame::NoFrame);
    comboText_->setGeometry(toQRect(kKeyMapComboText));

    for (QLineEdit* edit : {valueEdit_, delayEdit_, renameEdit_}) {
        edit->setFrame(false);
        edit->installEventFilter(this);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{valueEdit_, delayEdit_, renameEdit_, comboText_}) {
        w->setFont(skin_.font(SkinResources::kStandardFont));
        paintAsEdit(w);
    }

    listScroll_ = new CSkinScrollBar(Qt::Vertical, this);
    listScroll_->setObjectName(QStringLiteral("listScroll"));
    recordScroll_ = new CSkinScrollBar(Qt::Vertical, this);
    recordScroll_->setObjectName(QStringLiteral("recordScroll"));
    const QPixmap& barSkin = skin_.bitmap(kKeyMapScrollBarBitmap);
    for (CSkinScrollBar* bar : {listScroll_, recordScroll_}) {
        bar->setGeometry(toQRect(kKeyMapListScroll));
        if (!barSkin.isNull())
            bar->setBitmap(barSkin);
    }
    connect(listScroll_, &CSkinScrollBar::scrolled, this, &CVelaDialogKeyMapSettings::onListScrolled);
    connect(recordScroll_, &CSkinScrollBar::scrolled, this, &CVelaDialogKeyMapSettings::onRecordScrolled);
}

void CVelaDialogKeyMapSettings::loadLists() {
    // The copies keep the stored view, so the dialog opens on the entry selected last.
    comboList_.copyFrom(configuration_.predefinedCombos);
    comboList_.setSizeOfView(KeyboardConfiguration::kComboViewRows);
    comboRecord_ = comboList_.childAtRow(comboList_.cursorPos());
    macroList_.copyFrom(configuration_.predefinedMacros);
    macroList_.setSizeOfView(KeyboardConfiguration::kMacroViewRows);
    macroRecord_ = macroList_.childAtRow(macroList_.cursorPos());
    emuList_.copyFrom(configuration_.predefinedEmulations);
    emuList_.setSizeOfView(KeyboardConfiguration::kEmulationViewRows);
    emuRecord_ = emuList_.childAtRow(emuList_.cursorPos());
}

void CVelaDialogKeyMapSettings::chooseStartPage() {
    const int key = configuration_.currentKey;
    const int level = configuration_.currentLevel;
    const int* code = configuration_.code.find(key, level);
    const KeyEventList* events = configuration_.events.find(key, level);
    const int keyCode = code ? *code : -1;

    // A list whose selected entry is the key's own content opens on it; otherwise the first
    // entry is selected.
    const auto selectKeysEntry = [events](KeyEventList& list, KeyEventList& record) {
        if (list.empty() || !events)
            return;
        list.selectEqualChild(*events);
        record = list.childAtRow(list.cursorPos());
    };

    // Uniques, as the table starts, unless the key holds a combination; so the Uniques
    // area and its label always agree.
    setSingleMode(true);
    int page = 0;
    switch (configuration_.kindOf(key, level)) {
    case KeyFunctionKind::Single:
        singleKeyCode_ = configuration_.catalogue.hostCodeOf(keyCode);
        break;
    case KeyFunctionKind::Combo:
        setSingleMode(false);
        selectKeysEntry(comboList_, comboRecord_);
        break;
    case KeyFunctionKind::Macro:
        selectKeysEntry(macroList_, macroRecord_);
        page = 1;
        break;
    case KeyFunctionKind::Emulation:
        selectKeysEntry(emuList_, emuRecord_);
        page = 2;
        break;
    case KeyFunctionKind::Multimedia: mediaCode_ = keyCode; page = 3; break;
    case KeyFunctionKind::Mouse: mouseCode_ = keyCode; page = 4; break;
    case KeyFunctionKind::Function: functionCode_ = keyCode; page = 5; break;
    case KeyFunctionKind::Power: powerCode_ = keyCode; page = 6; break;
    case KeyFunctionKind::NotSet: break;
    }
    showPage(page);
}

void CVelaDialogKeyMapSettings::showPage(int index) {
    if (index < 0 || index >= kKeyMapPageCount)
        return;
    currentPage_ = index + 1;
    const KeyMapPagePictures& pictures = kKeyMapPagePictures[index];
    background_ = skin_.bitmap(pictures.background);
    hover_ = skin_.bitmap(pictures.hover);
    selected_ = skin_.bitmap(pictures.selected);

    const auto set = [](QWidget* w, bool shown, bool enabled) {
        w->setVisible(shown);
        w->setEnabled(enabled);
    };
    const bool listPage = currentPage_ == 2 || currentPage_ == 3;
    set(valueEdit_, listPage, listPage);
    set(delayEdit_, currentPage_ == 2, false);
    set(renameEdit_, false, false);
    set(comboText_, currentPage_ == 1, currentPage_ == 1);

    if (currentPage_ == 1) {
        listScroll_->move(kKeyMapComboListScroll.left, kKeyMapComboListScroll.top);
        listScroll_->resize(listScroll_->width(), kKeyMapComboListScroll.height());
        setScrollRange(listScroll_, comboList_.count() + 5, KeyboardConfiguration::kComboViewRows, 0);
        listScroll_->show();
        recordScroll_->hide();
        recordScroll_->move(kKeyMapComboRecordScroll.left, kKeyMapComboRecordScroll.top);
        recordScroll_->resize(recordScroll_->width(), kKeyMapComboRecordScroll.height());
        setScrollRange(recordScroll_, 0, KeyboardConfiguration::kComboViewRows, 0);
    } else if (listPage) {
        const KeyEventList& list = currentPage_ == 2 ? macroList_ : emuList_;
        listScroll_->move(kKeyMapListScroll.left, kKeyMapListScroll.top);
        listScroll_->resize(listScroll_->width(), kKeyMapListScroll.height());
        setScrollRange(listScroll_, list.count() + 8, KeyboardConfiguration::kMacroViewRows, 0);
        listScroll_->show();
        recordScroll_->move(kKeyMapRecordScroll.left, kKeyMapRecordScroll.top);
        recordScroll_->resize(recordScroll_->width(), kKeyMapRecordScroll.height());
        setUpRecordScroll();
        recordScroll_->show();
    } else {
        listScroll_->hide();
        recordScroll_->hide();
    }

    QToolTip::hideText();
    tipTimer_.stop();
    tipText_.clear();
    updateShape();
    refreshDynamicItems();
    update();
}

void CVelaDialogKeyMapSettings::updateShape() {
    const QRegion& shape = shapes_[static_cast<std::size_t>(currentPage_ - 1)];
    if (!shape.isEmpty())
        setMask(shape);
}

QString CVelaDialogKeyMapSettings::itemText(int id) const {
    return QString::fromUtf8(items_.text(items_.findItem(id), language_));
}

CVelaDialogKeyMapSettings::HitArea CVelaDialogKeyMapSettings::hitArea(QPoint point) const {
    for (int i = 0; i < items_.size(); ++i) {
        const SkinItem& it = items_[i];
        if (!it.textOnly && KeyMapItemTable::belongsToPage(it, currentPage_) && it.rect.contains(point.x(), point.y()))
            return HitArea::Client;
    }
    const bool right = point.x() > width() - 6;
    const bool bottom = point.y() > height() - 6;
    if (right && bottom)
        return HitArea::BottomRight;
    if (right)
        return HitArea::Right;
    if (bottom)
        return HitArea::Bottom;
    return HitArea::Caption;
}

void CVelaDialogKeyMapSettings::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();  // the menu opens on the release
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    trackPointer(point);
    pressed_ = true;
    dragging_ = false;
    // Free background moves the window. The window is exactly its picture, so the edges
    // offer nothing to resize: a press there is a plain press.
    if (hitArea(point) == HitArea::Caption) {
        dragging_ = true;
        dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
        if (windowHandle() && windowHandle()->startSystemMove())
            pressed_ = false;  // the window manager moves it; its release is no click
    }
}

void CVelaDialogKeyMapSettings::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        showMouseActionMenu(event->position().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QDialog::mouseReleaseEvent(event);
        return;
    }
    const bool wasDrag = dragging_;
    pressed_ = false;
    dragging_ = false;
    if (wasDrag)
        return;  // the end of a move over free background, which holds no item anyway
    dispatchClick(event->position().toPoint());
}

void CVelaDialogKeyMapSettings::dispatchClick(QPoint point) {
    const int index = items_.hitTest(currentPage_, point.x(), point.y());
    const int id = index >= 0 ? items_[index].id : -1;
    const bool okOrCancel = id == kKeyMapOk || id == kKeyMapCancel;

    if (delayEditing_ && id != kKeyMapDelayButton) {
        items_.item(kKeyMapDelayButton).active = false;
        delayEdit_->clear();
        delayEditing_ = false;
        update();
    }
    // An open editor or a running capture ends with the next click; only OK and Cancel go
    // on after a capture of keys, and a recording swallows even those.
    if (renaming_) {
        commitRename();
        if (!okOrCancel)
            return;
    }
    if (singleCapturing_) {
        stopSingleCapture();
        if (!okOrCancel)
            return;
    }
    if (comboCapturing_) {
        stopComboCapture();
        if (!okOrCancel)
            return;
    }
    if (macroRecording_) {
        stopMacroRecording();
        return;
    }
    if (emuRecording_) {
        stopEmuRecording();
        return;
    }
    dispatchId(index, id);
}

void CVelaDialogKeyMapSettings::dispatchId(int index, int id) {
    if ((id >= 701 && id <= 703) || (id >= 601 && id <= 628) || (id >= 502 && id <= 511) ||
        (id >= 401 && id <= 418)) {
        catalogueChoice(index, id);
        return;
    }
    if ((id >= 321 && id <= 329) || (id >= 221 && id <= 229) || (id >= 121 && id <= 126)) {
        clickListRow(id);
        return;
    }
    if ((id >= 341 && id <= 349) || (id >= 241 && id <= 249)) {
        clickRecordRow(id);
        return;
    }
    if (id >= kKeyMapFirstTab && id < kKeyMapFirstTab + kKeyMapPageCount) {
        showPage(id - kKeyMapFirstTab);
        return;
    }
    switch (id) {
    case kKeyMapClear: clearPage(); break;
    case kKeyMapOk: ok(); break;
    case kKeyMapCancel:
    case kKeyMapClose: cancel(); break;
    case kKeyMapUniques:
    case kKeyMapCombo: toggleSingleMode(id); break;
    case kKeyMapSingleRecord: startSingleCapture(); break;
    case kKeyMapComboNew:
    case kKeyMapMacroNew:
    case kKeyMapEmuNew: newEntry(); break;
    case kKeyMapComboDelete:
    case kKeyMapMacroRemove:
    case kKeyMapEmuRemove: deleteEntry(); break;
    case kKeyMapComboRecord: startComboCapture(); break;
    case kKeyMapAutoInterval: toggleAutoInterval(); break;
    case kKeyMapDelayButton: clickDelayButton(); break;
    case kKeyMapMacroRecord: startMacroRecording(); break;
    case kKeyMapEmuRecord: startEmuRecording(); break;
    default: break;  // labels, "no action" areas, free background
    }
}

void CVelaDialogKeyMapSettings::ok() {
    KeyboardConfiguration& c = configuration_;
    const int key = c.currentKey;
    const int level = c.currentLevel;
    // A current key or level outside the tables has no setting to write; the page's
    // predefined list is still stored.
    int* kind = c.kind.find(key, level);
    int* code = c.code.find(key, level);
    KeyEventList* events = c.events.find(key, level);
    const auto store = [&](KeyFunctionKind k, int value) {
        if (kind) {
            *kind = static_cast<int>(k);
            *code = value;
        }
    };
    const auto storeEvents = [&](KeyFunctionKind k, const KeyEventList& list) {
        if (kind) {
            *kind = static_cast<int>(k);
            events->copyFrom(list);
        }
    };
    if (kind)
        *kind = static_cast<int>(KeyFunctionKind::NotSet);

    switch (currentPage_) {
    case 1:
        if (singleMode_) {
            const int k = singleKeyCode_ >= 0 ? c.catalogue.keyboardCodeOfHost(singleKeyCode_ & KeyCatalogue::kHostCodeMask) : 0;
            if (k > 0)
                store(KeyFunctionKind::Single, k);
        } else if (!comboRecord_.empty()) {
            storeEvents(KeyFunctionKind::Combo, comboRecord_);
        }
        c.predefinedCombos.copyFrom(comboList_);
        break;
    case 2:
        if (!macroRecord_.empty())
            storeEvents(KeyFunctionKind::Macro, macroRecord_);
        c.predefinedMacros.copyFrom(macroList_);
        break;
    case 3:
        if (!emuRecord_.empty())
            storeEvents(KeyFunctionKind::Emulation, emuRecord_);
        c.predefinedEmulations.copyFrom(emuList_);
        break;
    case 4: if (mediaCode_ > 0) store(KeyFunctionKind::Multimedia, mediaCode_); break;
    case 5: if (mouseCode_ > 0) store(KeyFunctionKind::Mouse, mouseCode_); break;
    case 6:
        if (functionCode_ > 0) {
            store(KeyFunctionKind::Function, functionCode_);
            // FN reaches the other level, so the key must carry FN on both levels.
            if (functionCode_ == kFnCode) {
                if (int* otherKind = c.kind.find(key, 1 - level)) {
                    *otherKind = static_cast<int>(KeyFunctionKind::Function);
                    *c.code.find(key, 1 - level) = kFnCode;
                }
            }
        }
        break;
    case 7: if (powerCode_ > 0) store(KeyFunctionKind::Power, powerCode_); break;
    default: break;
    }
    update();
    accept();
}

void CVelaDialogKeyMapSettings::clearPage() {
    switch (currentPage_) {
    case 1:
        singleKeyCode_ = -1;
        comboList_.clear();
        comboRecord_.clear();
        break;
    case 2:
        macroList_.clear();
        macroRecord_.clear();
        break;
    case 3:
        emuList_.clear();
        emuRecord_.clear();
        break;
    case 4: mediaCode_ = -1; break;
    case 5: mouseCode_ = -1; break;
    case 6: functionCode_ = -1; break;
    case 7: powerCode_ = -1; break;
    default: break;
    }
    if (currentPage_ <= 3) {
        setScrollRange(listScroll_, 5, KeyboardConfiguration::kComboViewRows, 0);
        setScrollRange(recordScroll_, 5, KeyboardConfiguration::kComboViewRows, 0);
    }
    refreshDynamicItems();
    update();
}

void CVelaDialogKeyMapSettings::cancel() { reject(); }

void CVelaDialogKeyMapSettings::keyPressEvent(QKeyEvent* event) {
    // Return and Esc close the dialog the way the platform's dialog keys do, writing nothing:
    // only a click on OK stores.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: done(QDialog::Accepted); return;
    case Qt::Key_Escape: reject(); return;
    default: QDialog::keyPressEvent(event); return;
    }
}

bool CVelaDialogKeyMapSettings::eventFilter(QObject* watched, QEvent* event) {
    if (watched == renameEdit_) {
        if (renaming_ && isReturn(event)) {
            commitRename();
            return true;
        }
        if (event->type() == QEvent::FocusOut && renaming_)
            commitRename();
    } else if ((watched == valueEdit_ || watched == delayEdit_) && isReturn(event)) {
        return true;  // Return in the number fields neither closes the dialog nor does anything
    }
    return QDialog::eventFilter(watched, event);
}

bool CVelaDialogKeyMapSettings::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        showTooltip(help->pos(), help->globalPos());
        return true;
    }
    return QDialog::event(event);
}
