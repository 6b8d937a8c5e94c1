#include "CVelaDialogFirmwareUpdate.h"

#include <QLineEdit>
#include <QPainter>

#include "CVelaDialogProgress.h"
#include "FirmwareJob.h"
#include "KeyboardConfiguration.h"
#include "ShellServices.h"
#include "SkinResources.h"
#include "TransferTexts.h"

namespace {

constexpr SkinnedDialog::Look kFirmwareLook{kFirmwareBackgroundBitmap, kFirmwareHoverBitmap, kSkinKeyRed,
                                            kFirmwareSkinSize};
// Room the library's version query needs: 62 characters and a terminating zero.
constexpr int kVersionBufferSize = 64;

QLineEdit* makeField(QWidget* parent, SkinRect place, const QFont& font) {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    // Read-only and never focused, so no caret shows in it.
    field->setFocusPolicy(Qt::NoFocus);
    field->setFrame(false);
    field->setFont(font);
    field->setGeometry(toQRect(place));
    field->setStyleSheet(QStringLiteral("QLineEdit { color: rgb(255, 111, 0); background-color: rgb(20, 20, 20);"
                                        " border: none; }"));
    return field;
}

}  // namespace

CVelaDialogFirmwareUpdate::CVelaDialogFirmwareUpdate(KeyboardConfiguration& configuration, SkinResources& skin,
                                                     ShellServices& services, TransferRunner& runner, QWidget* parent)
    : SkinnedDialog(skin, kFirmwareLook, items_, parent),
      configuration_(configuration),
      services_(services),
      runner_(runner) {
    setWindowTitle(QStringLiteral("Firmware Update"));
    versionField_ = makeField(this, kFirmwareVersionField, skin.font(SkinResources::kStandardFont));
    fileField_ = makeField(this, kFirmwareFileField, skin.font(SkinResources::kStandardFont));
}

CVelaDialogFirmwareUpdate::~CVelaDialogFirmwareUpdate() {
    // A download goes on to its end (the runner waits for it); only its messages are dropped.
    runner_.detach(this, false);
}

void CVelaDialogFirmwareUpdate::itemClicked(int index) {
    switch (items_[static_cast<std::size_t>(index)].id) {
    case kFirmwareGetVersion: getVersion(); break;
    case kFirmwareOpen: openFile(); break;
    case kFirmwareUpdate: startUpdate(); break;
    case kFirmwareClose:
    case kFirmwareCancel: reject(); break;
    default: break;
    }
}

void CVelaDialogFirmwareUpdate::getVersion() {
    if (downloading_) {
        showText(transfer_texts::kDownloadRunning.forLanguage(configuration_.language));
        return;
    }
    if (runner_.busy()) {
        showText(transfer_texts::kKeyboardBusy.forLanguage(configuration_.language));
        return;
    }
    wchar_t text[kVersionBufferSize] = {};
    if (configuration_.device.ReadKeyboardVersion(text))
        versionField_->setText(QString::fromWCharArray(text));
    else
        showText(transfer_texts::kVersionFailed.forLanguage(configuration_.language));
}

void CVelaDialogFirmwareUpdate::openFile() {
    if (services_.fileDialogs) {
        if (const std::optional<QString> path = services_.fileDialogs->openFile(this, QString(), QString()))
            filePath_ = *path;
    }
    fileField_->setText(filePath_);
}

void CVelaDialogFirmwareUpdate::startUpdate() {
    if (downloading_) {
        showText(transfer_texts::kDownloadRunning.forLanguage(configuration_.language));
        return;
    }
    configuration_.firmwarePath = filePath_.toStdString();
    const bool started = runner_.start(this, this, [](KeyboardConfiguration& configuration, const std::atomic<bool>&) {
        // A download is never cut short: a half-written image is worse than a late window.
        runFirmwareJob(configuration);
    });
    if (!started) {
        showText(transfer_texts::kKeyboardBusy.forLanguage(configuration_.language));
        return;
    }
    downloading_ = true;
    percent_ = 1;
    update();
}

void CVelaDialogFirmwareUpdate::reject() {
    if (downloading_) {
        closePending_ = true;
        showText(transfer_texts::kWaitForDownload.forLanguage(configuration_.language));
        return;
    }
    percent_ = 0;
    done(QDialog::Rejected);
}

void CVelaDialogFirmwareUpdate::onTransferProgress(int wParam) {
    const int percent = progressPercent(wParam);
    if (percent == percent_)
        return;
    percent_ = percent;
    update(toQRect(kFirmwareStrip));
}

void CVelaDialogFirmwareUpdate::onTransferFinished(int wParam) {
    downloading_ = false;
    runner_.detach(this, false);
    if (const transfer_texts::Text* outcome = transfer_texts::firmwareOutcome(wParam))
        showText(outcome->forLanguage(configuration_.language));
    if (closePending_) {
        percent_ = 0;
        done(QDialog::Rejected);
    }
}

void CVelaDialogFirmwareUpdate::showText(const char* text) {
    if (text && services_.messageBoxes)
        services_.messageBoxes->show(this, QString::fromUtf8(text));
}

void CVelaDialogFirmwareUpdate::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawBackground(painter);
    drawHover(painter);
    drawLabels(painter, configuration_.language);
    drawBar(painter, kFirmwareFillBitmap, kFirmwareStrip, percent_);
}
