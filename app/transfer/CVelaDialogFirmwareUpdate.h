#pragma once
// The firmware update window: Get Version reads the keyboard's version text, Open chooses
// a HEX file, Update downloads it on the worker thread while the bar shows its progress, and
// the outcome arrives as a message box. The window stays open after a download; it ends only
// by its close box or cancel button (Rejected).
//
// One thing uses the keyboard at a time: Get Version and a second Update are refused while a
// download runs, and closing the window during a download tells the user to wait and closes
// it once the download has ended (a download is never abandoned half-way).

#include <array>

#include "FirmwareItems.h"
#include "SkinnedDialog.h"
#include "TransferRunner.h"

class KeyboardConfiguration;
class QLineEdit;
struct ShellServices;

class CVelaDialogFirmwareUpdate : public SkinnedDialog, private TransferReceiver {
    Q_OBJECT

public:
    // The references must outlive the window.
    CVelaDialogFirmwareUpdate(KeyboardConfiguration& configuration, SkinResources& skin, ShellServices& services,
                              TransferRunner& runner, QWidget* parent = nullptr);
    ~CVelaDialogFirmwareUpdate() override;

    // The file chosen with Open; empty before.
    const QString& filePath() const { return filePath_; }
    QLineEdit* versionField() const { return versionField_; }
    QLineEdit* fileField() const { return fileField_; }
    // The bar's fill, 0..100.
    int percent() const { return percent_; }
    // True from Update until the download's outcome has arrived.
    bool downloading() const { return downloading_; }
    // True after a close was asked for during a download: the window closes when it ends.
    bool closePending() const { return closePending_; }

    // The commands of the buttons, as a click runs them.
    void getVersion();
    void openFile();
    void startUpdate();
    // The close box and cancel button; Escape too.
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void itemClicked(int index) override;

private:
    void onTransferProgress(int wParam) override;
    void onTransferFinished(int wParam) override;
    void showText(const char* text);

    KeyboardConfiguration& configuration_;
    ShellServices& services_;
    TransferRunner& runner_;
    std::array<SkinItem, kFirmwareItemCount> items_ = kFirmwareItems;
    QLineEdit* versionField_ = nullptr;
    QLineEdit* fileField_ = nullptr;
    QString filePath_;
    int percent_ = 0;
    bool downloading_ = false;
    bool closePending_ = false;
};
