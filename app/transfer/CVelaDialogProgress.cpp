#include "CVelaDialogProgress.h"

#include <QPainter>

#include "KeyboardConfiguration.h"

namespace {

constexpr SkinnedDialog::Look kProgressLook{kProgressBackgroundBitmap, kProgressHoverBitmap, kSkinKeyRed,
                                            kProgressSkinSize};

}  // namespace

CVelaDialogProgress::CVelaDialogProgress(KeyboardConfiguration& configuration, SkinResources& skin,
                                         TransferRunner& runner, TransferJob job, QWidget* parent)
    : SkinnedDialog(skin, kProgressLook, items_, parent), configuration_(configuration), runner_(runner), job_(job) {
    setWindowTitle(QStringLiteral("Progress"));
    // A window that waits for an earlier job starts its own as soon as that one has ended.
    connect(&runner_, &TransferRunner::idle, this, [this] {
        if (isVisible() && !started_ && !ended_)
            startJob();
    });
}

CVelaDialogProgress::~CVelaDialogProgress() {
    // A job still running for this window is told to stop; its later messages are dropped.
    runner_.detach(this, true);
}

void CVelaDialogProgress::setWaits(std::chrono::milliseconds keySettle, std::chrono::milliseconds lightSettle) {
    options_.keySettle = keySettle;
    options_.lightSettle = lightSettle;
}

void CVelaDialogProgress::showEvent(QShowEvent* event) {
    SkinnedDialog::showEvent(event);
    if (!started_ && !ended_)
        startJob();
}

void CVelaDialogProgress::startJob() {
    const TransferJob job = job_;
    const JobOptions waits = options_;
    started_ = runner_.start(this, this, [job, waits](KeyboardConfiguration& configuration,
                                                     const std::atomic<bool>& cancel) {
        JobOptions options = waits;
        options.cancel = &cancel;
        switch (job) {
        case TransferJob::WriteKeys: writeKeySettings(configuration, options); break;
        case TransferJob::ReadAll: readConfiguration(configuration, options); break;
        case TransferJob::WriteBacklight: writeBacklightAreas(configuration, options); break;
        }
    });
}

void CVelaDialogProgress::onTransferProgress(int wParam) {
    const int percent = progressPercent(wParam);
    if (percent == percent_)
        return;
    percent_ = percent;
    update(toQRect(kProgressStrip));
}

void CVelaDialogProgress::onTransferFinished(int wParam) {
    if (ended_)
        return;
    ended_ = true;
    status_ = static_cast<JobStatus>(wParam);
    runner_.detach(this, false);
    done(wParam == static_cast<int>(JobStatus::Ok) ? Finished : Failed);
}

void CVelaDialogProgress::itemClicked(int index) {
    const int id = items_[static_cast<std::size_t>(index)].id;
    if (id == kProgressClose || id == kProgressCancel)
        reject();
}

void CVelaDialogProgress::reject() {
    if (ended_)
        return;
    ended_ = true;
    percent_ = 0;
    runner_.detach(this, true);
    done(Cancelled);
}

void CVelaDialogProgress::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawBackground(painter);
    drawHover(painter);
    drawLabels(painter, configuration_.language);
    drawBar(painter, kProgressFillBitmap, kProgressStrip, percent_);
}
