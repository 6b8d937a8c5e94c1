#pragma once
// What the transfer and backlight window tests share: one QApplication with the real skin
// bundle, a configuration opened on an emulator process, a HEX image maker, and waits that
// keep the event loop running and always end.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QResource>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "EmulatorProcess.h"
#include "KeyboardConfiguration.h"
#include "SkinResources.h"
#include "shell/SkinItem.h"

namespace kx30uitest {

class QtSkinEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "transfer_ui_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        QResource::registerResource(QStringLiteral(KX30_SKIN_BUNDLE));
        skin_ = std::make_unique<SkinResources>();
        skin_->loadBitmaps();
    }
    void TearDown() override {
        skin_.reset();
        app_.reset();
    }
    static SkinResources& skin() { return *skin_; }

private:
    std::unique_ptr<QApplication> app_;
    static inline std::unique_ptr<SkinResources> skin_;
};

inline SkinResources& skin() { return QtSkinEnvironment::skin(); }

// Runs the event loop until `done` holds or `timeout` passes. Whether it held.
inline bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeout.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// A watchdog for exec(): rejects whatever modal dialog is up after `timeout` and records it.
class ModalWatchdog {
public:
    explicit ModalWatchdog(std::chrono::milliseconds timeout) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            fired_ = true;
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                modal->done(QDialog::Rejected);
        });
        timer_.start(static_cast<int>(timeout.count()));
    }
    bool fired() const { return fired_; }

private:
    QTimer timer_;
    bool fired_ = false;
};

// A configuration with its catalogue built and cleared, on the keyboard that is there (the
// emulator the test started); device left closed when none answers.
inline std::unique_ptr<KeyboardConfiguration> makeConfiguration(bool open = true) {
    auto c = std::make_unique<KeyboardConfiguration>();
    c->buildKeyCatalogue();
    c->clearConfiguration();
    if (open)
        c->device.__createDev();
    return c;
}

// An Intel HEX image of `dataLines` 16-byte data records and the end-of-file record, CR LF
// line ends. With `badChecksumAt` > 0 that data line (1-based) gets a wrong checksum.
inline std::string hexImage(int dataLines, int badChecksumAt = 0) {
    std::string text;
    char line[64];
    for (int i = 0; i < dataLines; ++i) {
        const int address = (i * 16) & 0xFFFF;
        unsigned sum = 0x10 + unsigned(address >> 8) + unsigned(address & 0xFF);
        std::string record = ":10";
        std::snprintf(line, sizeof line, "%04X00", address);
        record += line;
        for (int b = 0; b < 16; ++b) {
            const unsigned value = unsigned(i + b) & 0xFF;
            sum += value;
            std::snprintf(line, sizeof line, "%02X", value);
            record += line;
        }
        unsigned checksum = (0x100 - (sum & 0xFF)) & 0xFF;
        if (i + 1 == badChecksumAt)
            checksum = (checksum + 1) & 0xFF;
        std::snprintf(line, sizeof line, "%02X\r\n", checksum);
        text += record + line;
    }
    text += ":00000001FF\r\n";
    return text;
}

// Writes `text` to a file in `dir` and returns its path.
inline std::string writeFile(const std::string& dir, const std::string& name, const std::string& text) {
    const std::string path = dir + "/" + name;
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    return path;
}

// Saves a picture of a window for a person to look at.
inline void saveScreenshot(QWidget& window, const QString& name) {
    QDir().mkpath(QStringLiteral(KX30_SCREENSHOT_DIR));
    window.grab().save(QStringLiteral(KX30_SCREENSHOT_DIR "/") + name + QStringLiteral(".png"));
}

}  // namespace kx30uitest

#include <QTest>
#include <QWindow>

namespace kx30uitest {

// A click as the user makes it, through the window's input path (the window must be shown).
inline void clickAt(QWidget& window, QPoint point) {
    QWindow* handle = window.windowHandle();
    QTest::mouseMove(handle, QPoint(window.width() - 1, window.height() - 1));
    QTest::mouseMove(handle, point);
    QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, point);
}

inline QPoint centreOf(SkinRect r) { return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

}  // namespace kx30uitest
