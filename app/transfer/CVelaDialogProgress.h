#pragma once
// The progress window: runs one transfer job on the worker thread and shows its progress on
// a bar, with the warning to keep the keyboard connected, a cancel button and a close box.
//
// exec() gives Finished when the job did all its work, Failed when a library call failed
// (the caller then says so instead of "OK!"), and Cancelled when the user closed the window.
// Cancelling stops the job at its next boundary and closes the window at once. A window
// opened while an earlier (cancelled) job is still ending waits for it before its own job
// starts.

#include <array>

#include "ProgressItems.h"
#include "SkinnedDialog.h"
#include "TransferJobs.h"
#include "TransferRunner.h"

class KeyboardConfiguration;

// The jobs, numbered as the windows that start them know them.
enum class TransferJob : int {
    WriteKeys = 1,       // write every key setting of both levels
    ReadAll = 3,         // read the key settings, then the backlight areas
    WriteBacklight = 4,  // write the four area colours
};

class CVelaDialogProgress : public SkinnedDialog, private TransferReceiver {
    Q_OBJECT

public:
    enum Result { Cancelled = QDialog::Rejected, Finished = QDialog::Accepted, Failed = 2 };

    // The job starts when the window is first shown. The references must outlive the window.
    CVelaDialogProgress(KeyboardConfiguration& configuration, SkinResources& skin, TransferRunner& runner,
                        TransferJob job, QWidget* parent = nullptr);
    ~CVelaDialogProgress() override;

    // The jobs' pauses (the keyboard storing what it got); the cancel flag is the runner's.
    // Set before the window is shown.
    void setWaits(std::chrono::milliseconds keySettle, std::chrono::milliseconds lightSettle);

    TransferJob job() const { return job_; }
    // The bar's fill, 0..100.
    int percent() const { return percent_; }
    // The status the job finished with; Ok until it has finished.
    JobStatus status() const { return status_; }
    // Whether the job has been handed to the worker (false while an earlier job still ends).
    bool jobStarted() const { return started_; }

    // Escape and the close box both cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void itemClicked(int index) override;

private:
    void startJob();
    void onTransferProgress(int wParam) override;
    void onTransferFinished(int wParam) override;

    KeyboardConfiguration& configuration_;
    TransferRunner& runner_;
    TransferJob job_;
    JobOptions options_;
    std::array<SkinItem, kProgressItemCount> items_ = kProgressItems;
    int percent_ = 1;
    JobStatus status_ = JobStatus::Ok;
    bool started_ = false;
    bool ended_ = false;
};

// The fill of the bar for a WM_TRANSFER_PROGRESS value: value * 100 / 150, kept within
// 0..100 (key transfers count slots up to 173 on the same scale).
constexpr int progressPercent(int wParam) {
    const int value = wParam < 0 ? 0 : wParam > 150 ? 150 : wParam;
    return value * 100 / 150;
}
