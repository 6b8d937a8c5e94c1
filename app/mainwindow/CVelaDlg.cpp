#include "CVelaDlg.h"

#include "DeviceWatcher.h"
#include "Discovery.h"
#include "FileFilter.h"
#include "KeyboardAccessText.h"
#include "KeyboardConfiguration.h"
#include "Language.h"
#include "ProfileStore.h"
#include "ProgramIcon.h"
#include "SkinResources.h"

#include <QBitmap>
#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QWindow>

namespace {

namespace texts = mainwindow_texts;

// Smallest size a resize by hand leaves, so the window can still be grabbed.
constexpr int kMinimumWidth = 200;
constexpr int kMinimumHeight = 150;

QRect toQRect(const SkinRect& rect) {
    return QRect(rect.left, rect.top, rect.width(), rect.height());
}

QColor toQColor(SkinColour colour) {
    return QColor(skinRed(colour), skinGreen(colour), skinBlue(colour));
}

Qt::Edges edgesOf(HitArea area) {
    switch (area) {
    case HitArea::Right: return Qt::RightEdge;
    case HitArea::Bottom: return Qt::BottomEdge;
    case HitArea::BottomRight: return Qt::RightEdge | Qt::BottomEdge;
    case HitArea::Client:
    case HitArea::Caption: break;
    }
    return {};
}

Qt::CursorShape cursorOf(HitArea area) {
    switch (area) {
    case HitArea::Right: return Qt::SizeHorCursor;
    case HitArea::Bottom: return Qt::SizeVerCursor;
    case HitArea::BottomRight: return Qt::SizeFDiagCursor;
    case HitArea::Client:
    case HitArea::Caption: break;
    }
    return Qt::ArrowCursor;
}

}  // namespace

CVelaDlg::CVelaDlg(KeyboardConfiguration& configuration, SkinResources& skin, ShellServices& services,
                   std::unique_ptr<ProfileStore> profiles, QWidget* parent)
    : CVelaDlg(configuration, skin, services, std::move(profiles), Options{}, parent) {}

CVelaDlg::CVelaDlg(KeyboardConfiguration& configuration, SkinResources& skin, ShellServices& services,
                   std::unique_ptr<ProfileStore> profiles, Options options, QWidget* parent)
    : QDialog(parent),
      configuration_(configuration),
      skin_(skin),
      services_(services),
      profiles_(profiles ? std::move(profiles) : makeModelProfileStore()),
      options_(options),
      items_(kMainWindowItems) {
    // The keyboard stays open for the life of the program; without it exec() ends at once.
    connected_ = configuration_.device.__createDev();
    setUpWindow();
    configuration_.currentLevel = 0;
    configuration_.clearConfiguration();
    refreshInfoBox(0);
    if (connected_ && options_.watchDevices) {
        deviceWatcher_ = new DeviceWatcher(QString::fromStdString(emulatorSocketPath()),
                                           options_.devicePollMs, this);
        connect(deviceWatcher_, &DeviceWatcher::changed, this, &CVelaDlg::onDeviceChange);
        deviceWatcher_->start();
    }
}

CVelaDlg::~CVelaDlg() {
    if (services_.trayIcon)
        services_.trayIcon->hide();
}

void CVelaDlg::setUpWindow() {
    const QIcon icon = programIcon();
    setWindowIcon(icon);
    setWindowTitle(QString::fromLatin1(kApplicationName));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setMouseTracking(true);

    const QPixmap& background = skin_.bitmap(kMainWindowBackgroundBitmap);
    const QSize size = background.isNull() ? QSize(kMainWindowSkinSize.width, kMainWindowSkinSize.height)
                                           : background.size();
    if (!background.isNull()) {
        // The colour key compares raw pixel words, so the picture must be RGB32 first.
        const QImage image = background.toImage().convertToFormat(QImage::Format_RGB32);
        backgroundShape_ =
            QRegion(QBitmap::fromImage(image.createMaskFromColor(qRgb(0, 0, 255), Qt::MaskInColor)));
    }
    resize(size);
    updateShape();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
    }

    if (TrayIcon* tray = services_.trayIcon.get()) {
        tray->setIcon(icon);
        tray->setToolTip(QString::fromLatin1(texts::kTrayTip));
        connect(tray, &TrayIcon::activated, this, &CVelaDlg::onTrayActivated);
    }

    infoBox_ = new QPlainTextEdit(this);
    infoBox_->setObjectName(QStringLiteral("infoBox"));
    infoBox_->setGeometry(toQRect(kMainWindowInfoBox));
    infoBox_->setReadOnly(true);
    infoBox_->setFrameShape(QFrame::NoFrame);
    infoBox_->setFocusPolicy(Qt::NoFocus);
    infoBox_->setCursorWidth(0);  // the box never shows a caret
    infoBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    infoBox_->setFont(skin_.font(SkinResources::kStandardFont));
    QPalette palette = infoBox_->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, toQColor(kSkinEditBackground));
        palette.setColor(group, QPalette::Text, toQColor(kSkinEditText));
    }
    infoBox_->setPalette(palette);
}

void CVelaDlg::updateShape() {
    if (backgroundShape_.isEmpty()) {
        clearMask();
        return;
    }
    // Beyond the background (after a resize) there is no colour key: that part stays visible.
    const QRect pictureRect = backgroundShape_.boundingRect().united(
        QRect(QPoint(0, 0), skin_.bitmap(kMainWindowBackgroundBitmap).size()));
    QRegion shape = backgroundShape_.intersected(rect());
    shape += QRegion(rect()).subtracted(QRegion(pictureRect));
    setMask(shape);
}

int CVelaDlg::exec() {
    if (!connected_) {
        showMessage(QString::fromStdString(keyboardUnavailableText(configuration_.language)));
        setResult(QDialog::Accepted);
        return QDialog::Accepted;
    }
    ended_ = false;
    for (;;) {
        const int result = QDialog::exec();
        if (ended_ || !inTray_)
            return result;
        // Hiding a modal dialog ends its loop; while only the icon is left, wait here for a
        // double click on it (which shows the window again) or its menu's Exit.
        QEventLoop loop;
        trayLoop_ = &loop;
        loop.exec();
        trayLoop_ = nullptr;
        if (ended_)
            return this->result();
    }
}

void CVelaDlg::done(int result) {
    if (services_.trayIcon)
        services_.trayIcon->hide();
    inTray_ = false;
    ended_ = true;
    if (deviceWatcher_)
        deviceWatcher_->stop();
    if (trayLoop_)
        trayLoop_->exit();
    QDialog::done(result);
}

void CVelaDlg::invalidateRect(const QRect& rect) {
    update(rect);
}

void CVelaDlg::invalidateAll() {
    update();
}

void CVelaDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPixmap& background = skin_.bitmap(kMainWindowBackgroundBitmap);
    if (background.isNull())
        painter.fillRect(rect(), skin_.darkBrush());
    else
        painter.drawPixmap(0, 0, background);
    if (background.size() != size())
        painter.fillRect(QRegion(rect()).subtracted(QRegion(background.rect())).boundingRect(),
                         skin_.darkBrush());

    const QPixmap& hover = skin_.bitmap(kMainWindowHoverBitmap);
    const QPixmap& active = skin_.bitmap(kMainWindowActiveBitmap);
    const int level = configuration_.currentLevel;
    int hoveredKey = 0;
    for (SkinItem& item : items_) {
        if (item.id >= kMainKeyIdBase + 1)
            item.active = configuration_.kindOf(item.keyNumber, level) != KeyFunctionKind::NotSet;
        if (!isLiveItem(item))
            continue;
        const QRect rect = toQRect(item.rect);
        const bool pointerInside = item.rect.contains(mousePoint_.x(), mousePoint_.y());
        if (item.active) {
            if (!active.isNull())
                painter.drawPixmap(rect, active, rect);
        } else if (pointerInside && !item.textOnly) {
            if (!hover.isNull())
                painter.drawPixmap(rect, hover, rect);
        }
        if (item.textOnly) {
            if (const char* text = item.text.forLanguage(configuration_.language)) {
                painter.setFont(skin_.font(item.font));
                painter.setPen(toQColor(item.active ? item.activeColour : item.colour));
                painter.drawText(rect, Qt::AlignHCenter | Qt::AlignTop, QString::fromUtf8(text));
            }
        }
        if (pointerInside && !item.textOnly && item.id >= kMainKeyIdBase + 1)
            hoveredKey = item.keyNumber;
    }
    refreshInfoBox(hoveredKey);
}

void CVelaDlg::refreshInfoBox(int hoveredKey) {
    const QString text = QString::fromStdString(infoBoxText(configuration_, hoveredKey));
    // Rewriting an unchanged text would make the box flicker while the pointer rests.
    if (text == infoText_ && !infoText_.isEmpty())
        return;
    infoText_ = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    infoBox_->setPlainText(shown);
}

bool CVelaDlg::trackPointer(QPoint point) {
    mousePoint_ = point;
    bool overItem = false;
    for (SkinItem& item : items_) {
        if (!isHotItem(item))
            continue;
        if (item.rect.contains(point.x(), point.y())) {
            overItem = true;
            if (!item.hovered) {
                item.hovered = true;
                invalidateRect(toQRect(item.rect));
            }
        } else if (item.hovered) {
            item.hovered = false;
            invalidateRect(toQRect(item.rect));
        }
    }
    return overItem;
}

void CVelaDlg::mouseMoveEvent(QMouseEvent* event) {
    const QPoint globalPos = event->globalPosition().toPoint();
    if (drag_ == Drag::ManualMove || drag_ == Drag::ManualResize) {
        if (event->buttons() & Qt::LeftButton) {
            dragTo(globalPos);
            return;
        }
        drag_ = Drag::None;
    }
    const QPoint point = event->position().toPoint();
    const bool overItem = trackPointer(point);
    if (drag_ == Drag::None)
        setCursor(cursorOf(hitArea(overItem, point.x(), point.y(), width(), height())));
}

void CVelaDlg::leaveEvent(QEvent* event) {
    // Nothing stays highlighted once the pointer has left the picture.
    trackPointer(QPoint(-1, -1));
    QDialog::leaveEvent(event);
}

void CVelaDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    pressed_ = true;
    drag_ = Drag::None;
    const bool overItem = trackPointer(point);
    const HitArea area = hitArea(overItem, point.x(), point.y(), width(), height());
    if (area != HitArea::Client)
        beginDrag(area, event->globalPosition().toPoint());
}

void CVelaDlg::beginDrag(HitArea area, QPoint globalPos) {
    dragArea_ = area;
    dragStartGlobal_ = globalPos;
    dragStartGeometry_ = geometry();
    QWindow* window = windowHandle();
    const bool system = window && (area == HitArea::Caption ? window->startSystemMove()
                                                            : window->startSystemResize(edgesOf(area)));
    if (system)
        drag_ = Drag::System;
    else  // no window manager to do it: follow the pointer ourselves
        drag_ = area == HitArea::Caption ? Drag::ManualMove : Drag::ManualResize;
}

void CVelaDlg::dragTo(QPoint globalPos) {
    const QPoint delta = globalPos - dragStartGlobal_;
    if (drag_ == Drag::ManualMove) {
        move(dragStartGeometry_.topLeft() + delta);
        return;
    }
    const Qt::Edges edges = edgesOf(dragArea_);
    int width = dragStartGeometry_.width();
    int height = dragStartGeometry_.height();
    if (edges & Qt::RightEdge)
        width = std::max(kMinimumWidth, width + delta.x());
    if (edges & Qt::BottomEdge)
        height = std::max(kMinimumHeight, height + delta.y());
    resize(width, height);
}

void CVelaDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mouseReleaseEvent(event);
        return;
    }
    const bool click = pressed_ && drag_ == Drag::None;
    pressed_ = false;
    drag_ = Drag::None;
    // The release that ends a move or a resize is not a click.
    if (click)
        dispatchClick(event->position().toPoint());
}

void CVelaDlg::resizeEvent(QResizeEvent* event) {
    updateShape();
    QDialog::resizeEvent(event);
}

void CVelaDlg::dispatchClick(QPoint point) {
    const int index = hotItemAt(items_, point.x(), point.y());
    if (index >= 0)
        runCommand(items_[std::size_t(index)]);
}

void CVelaDlg::runCommand(SkinItem& item) {
    switch (item.id) {
    case kMainLanguage:
        item.active = !item.active;
        configuration_.language = std::string(nextLanguage(configuration_.language));
        invalidateAll();
        return;
    case kMainHelp: openHelp(); return;
    case kMainHide: hideToNotificationArea(); return;
    case kMainExit: done(QDialog::Rejected); return;
    case kMainSave: saveProfile(); return;
    case kMainOpen: openProfile(); return;
    case kMainClear:
        configuration_.clearConfiguration();
        invalidateAll();
        return;
    case kMainWriteKeys:
        if (runWriteKeys())
            showMessage(QString::fromLatin1(texts::kTransferDone));
        return;
    case kMainLightSet: runBacklight(); return;
    case kMainReadAll:
        if (runReadAll())
            showMessage(QString::fromLatin1(texts::kTransferDone));
        invalidateAll();
        return;
    case kMainUpdate: runFirmwareUpdate(); return;
    case kMainLevel:
        configuration_.currentLevel = 1 - configuration_.currentLevel;
        item.active = !item.active;
        invalidateAll();
        return;
    default: break;
    }
    if (item.id > kMainKeyIdBase && item.id <= kMainKeyIdBase + kKeyCount) {
        configuration_.currentKey = item.keyNumber;
        runKeyAssignment(item.keyNumber);
        invalidateAll();
    }
}

bool CVelaDlg::runWriteKeys() {
    return commands_.writeKeys ? commands_.writeKeys(*this) : false;
}

void CVelaDlg::runBacklight() {
    if (commands_.backlight)
        commands_.backlight(*this);
}

bool CVelaDlg::runReadAll() {
    return commands_.readAll ? commands_.readAll(*this) : false;
}

void CVelaDlg::runFirmwareUpdate() {
    if (commands_.firmwareUpdate)
        commands_.firmwareUpdate(*this);
}

void CVelaDlg::runKeyAssignment(int key) {
    if (commands_.keyAssignment)
        commands_.keyAssignment(*this, key);
}

QString CVelaDlg::localText(const char* english, const char* chinese) const {
    return QString::fromUtf8(configuration_.isChinese() ? chinese : english);
}

void CVelaDlg::showMessage(const QString& text) {
    if (services_.messageBoxes)
        services_.messageBoxes->show(isVisible() ? this : nullptr, text);
}

void CVelaDlg::saveProfile() {
    if (services_.fileDialogs) {
        const std::optional<QString> path = services_.fileDialogs->saveFile(
            this, qtFileFilter(QString::fromLatin1(texts::kProfileFilter)),
            QString::fromLatin1(texts::kProfileSuffix));
        if (path) {
            // A failed save keeps the configuration and whatever file was there; say so
            // instead of letting the user believe the profile is safe.
            const ProfileOutcome outcome =
                profiles_->save(configuration_, std::filesystem::path(QFile::encodeName(*path).toStdString()));
            if (!outcome.ok)
                showMessage(localText(texts::kSaveFailedEnglish, texts::kSaveFailedChinese));
        }
    }
    invalidateAll();
}

void CVelaDlg::openProfile() {
    if (services_.fileDialogs) {
        const std::optional<QString> path = services_.fileDialogs->openFile(
            this, qtFileFilter(QString::fromLatin1(texts::kProfileFilter)),
            QString::fromLatin1(texts::kProfileSuffix));
        if (path) {
            const ProfileOutcome outcome =
                profiles_->load(configuration_, std::filesystem::path(QFile::encodeName(*path).toStdString()));
            if (!outcome.ok)
                showMessage(localText(texts::kNotAProfileEnglish, texts::kNotAProfileChinese));
        }
    }
    invalidateAll();
}

void CVelaDlg::openHelp() {
    // A help page that cannot be opened is not reported.
    if (services_.helpViewer)
        services_.helpViewer->open(
            helpPageUrl(QCoreApplication::applicationDirPath(), QString::fromLatin1(texts::kHelpPage)));
}

void CVelaDlg::hideToNotificationArea() {
    TrayIcon* tray = services_.trayIcon.get();
    if (!tray || !tray->isAvailable()) {
        // Without a notification area a hidden window could never come back.
        showMinimized();
        return;
    }
    tray->show();
    inTray_ = true;
    hide();
}

void CVelaDlg::restoreFromNotificationArea() {
    if (!inTray_)
        return;
    inTray_ = false;
    if (services_.trayIcon)
        services_.trayIcon->hide();
    if (trayLoop_)
        trayLoop_->exit();  // exec() shows the window again
    else
        showNormal();
}

void CVelaDlg::onTrayActivated(TrayIcon::Activation activation) {
    switch (activation) {
    case TrayIcon::Activation::DoubleClick: restoreFromNotificationArea(); return;
    case TrayIcon::Activation::Context: showTrayMenu(); return;
    case TrayIcon::Activation::Click:
    case TrayIcon::Activation::Other: return;
    }
}

void CVelaDlg::showTrayMenu() {
    if (!trayMenu_) {
        trayMenu_ = new QMenu(this);
        trayMenu_->setObjectName(QStringLiteral("trayMenu"));
        QAction* exitAction = trayMenu_->addAction(QString());
        connect(exitAction, &QAction::triggered, this, [this] { done(QDialog::Rejected); });
    }
    trayMenu_->actions().first()->setText(localText(texts::kTrayExitEnglish, texts::kTrayExitChinese));
    trayMenu_->popup(QCursor::pos());
}

void CVelaDlg::onDeviceChange() {
    if (deviceLost_ || ended_)
        return;
    if (configuration_.device.DetectDevice())
        return;
    deviceLost_ = true;
    if (deviceWatcher_)
        deviceWatcher_->stop();
    showMessage(QString::fromLatin1(texts::kNotConnected));
    done(QDialog::Rejected);
}
