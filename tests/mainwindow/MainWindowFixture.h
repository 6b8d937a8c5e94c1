#pragma once
// A main window on the offscreen platform, connected to a real emulator process, with the
// desktop seams and the profile store replaced by fakes that record what they were asked.
// The window reports every rectangle it invalidates, so tests see exactly what repaints.

#include "CVelaDlg.h"
#include "EmulatorProcess.h"
#include "FakeShellServices.h"
#include "KeyboardConfiguration.h"
#include "ProfileStore.h"
#include "SkinResources.h"

#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <vector>

// The skin every test window draws with (the real bundle when the build has one).
SkinResources& testSkin();

class ObservedDlg : public CVelaDlg {
public:
    using CVelaDlg::CVelaDlg;

    std::vector<QRect> invalidated;  // rectangles, in order
    int wholeInvalidations = 0;

    void forget() {
        invalidated.clear();
        wholeInvalidations = 0;
    }

protected:
    void invalidateRect(const QRect& rect) override {
        invalidated.push_back(rect);
        CVelaDlg::invalidateRect(rect);
    }
    void invalidateAll() override {
        ++wholeInvalidations;
        CVelaDlg::invalidateAll();
    }
};

// Answers save and load from a script and records the paths; it changes nothing.
class FakeProfileStore final : public ProfileStore {
public:
    std::vector<std::filesystem::path> saved;
    std::vector<std::filesystem::path> loaded;
    std::deque<ProfileOutcome> answers;  // empty: success

    ProfileOutcome save(const KeyboardConfiguration&, const std::filesystem::path& path) override {
        saved.push_back(path);
        return next();
    }
    ProfileOutcome load(KeyboardConfiguration&, const std::filesystem::path& path) override {
        loaded.push_back(path);
        return next();
    }

private:
    ProfileOutcome next() {
        if (answers.empty())
            return {true, {}};
        ProfileOutcome outcome = answers.front();
        answers.pop_front();
        return outcome;
    }
};

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    void SetUp() override;
    void TearDown() override;

    // Makes and shows the window; SetUp does it with the defaults.
    void makeWindow(bool trayAvailable = true, std::unique_ptr<ProfileStore> store = nullptr,
                    CVelaDlg::Options options = {false, 0});

    QWindow* handle() const { return window->windowHandle(); }
    // A spot of free picture (no item), where the pointer rests between cases.
    static constexpr QPoint kFreeSpot{600, 60};
    void park();
    void moveTo(QPoint point);
    void click(QPoint point);
    // Runs pending paint events, so painting's effects (active keys, the information box)
    // are there.
    void repaintNow();
    static QPoint centreOfKey(int key);

    static kx30test::EmulatorProcess* emulator;

    KeyboardConfiguration configuration;
    FakeShellServices fakes;
    FakeProfileStore* profiles = nullptr;  // owned by the window when it is the fake
    std::unique_ptr<ObservedDlg> window;
};
