#pragma once
// A configuration with a built catalogue, and the key assignment dialog opened on it for one
// key, shown on the offscreen platform and clicked through its window as a user would.

#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CVelaDialogKeyMapSettings.h"
#include "FakeShellServices.h"
#include "HwiSinks.h"
#include "KeyCapture.h"
#include "KeyboardConfiguration.h"
#include "SkinResources.h"

SkinResources& testSkin();

// The centre of the first item with this id.
inline QPoint centreOf(int id) {
    for (const SkinItem& item : kKeyMapItems) {
        if (item.id == id)
            return QPoint((item.rect.left + item.rect.right) / 2, (item.rect.top + item.rect.bottom) / 2);
    }
    ADD_FAILURE() << "no item " << id;
    return {};
}

// A list of entries without nested lists.
inline KeyEventList eventsOf(std::initializer_list<const char*> entries, int sizeOfView = 9) {
    KeyEventList list(sizeOfView);
    for (const char* e : entries)
        list.append(e, KeyEventList(sizeOfView));
    return list;
}

// A predefined list: named entries with their contents.
inline KeyEventList predefined(std::vector<std::pair<std::string, KeyEventList>> entries, int sizeOfView = 9) {
    KeyEventList list(sizeOfView);
    for (auto& [name, content] : entries)
        list.append(name, content);
    return list;
}

// The keyboard capture as the dialog sees it, without a display: it records what the dialog
// installs and lets the test type, posting through the installed target as the library's
// capture thread would. Typing with nothing installed reaches nobody.
class FakeKeyCapture final : public KeyCapture {
public:
    static constexpr std::uint32_t kUp = 0x80000000u;
    static constexpr std::uint32_t kExtended = 0x01000000u;

    bool install(IHookTarget* t) override {
        ++installs;
        if (refuse)
            return false;
        target = t;
        return true;
    }
    void uninstall() override {
        ++uninstalls;
        target = nullptr;
    }
    bool isAvailable() const override { return available; }
    int keyState(int vk) const override { return vk == 160 ? leftShiftState : vk == 161 ? rightShiftState : 0; }
    bool isDownNow(int vk) const override { return (vk == 160 && leftShiftDown) || (vk == 161 && rightShiftDown); }

    bool installed() const { return target != nullptr; }
    // One WM_HOOKED_KEY, handled by the dialog's event loop before this returns.
    void post(std::uint32_t wParam, std::uint32_t lParam = 0) {
        if (target)
            target->postHookedKey(wParam, lParam);
        QCoreApplication::processEvents();
    }
    void press(int vk, std::uint32_t lParam = 0) { post(static_cast<std::uint32_t>(vk), lParam); }
    void release(int vk, std::uint32_t lParam = 0) { post(kUp | static_cast<std::uint32_t>(vk), lParam); }
    void stroke(int vk, std::uint32_t lParam = 0) {
        press(vk, lParam);
        release(vk, lParam);
    }

    IHookTarget* target = nullptr;
    int installs = 0;
    int uninstalls = 0;
    bool refuse = false;     // another client holds the keyboard
    bool available = true;   // a display to capture on
    int leftShiftState = 0, rightShiftState = 0;
    bool leftShiftDown = false, rightShiftDown = false;
};

class KeyMapDialogTest : public ::testing::Test {
protected:
    static constexpr int kKey = 30;

    KeyMapDialogTest() {
        config.buildKeyCatalogue();
        config.clearConfiguration();
        config.currentKey = kKey;
        config.currentLevel = 0;
    }
    ~KeyMapDialogTest() override {
        if (dialog)
            dialog->close();
    }

    void setKey(KeyFunctionKind kind, int code = 0, KeyEventList events = {}) {
        config.kind[kKey][config.currentLevel] = static_cast<int>(kind);
        config.code[kKey][config.currentLevel] = code;
        config.events[kKey][config.currentLevel] = std::move(events);
    }

    CVelaDialogKeyMapSettings& open() {
        dialog = std::make_unique<CVelaDialogKeyMapSettings>(config, testSkin());
        dialog->setKeyCapture(&keys);
        dialog->setClock([this] { return clockMs; });
        dialog->setMessageBoxes(&messages);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        // Qt ignores a move to the last known position: park the pointer on free background.
        QTest::mouseMove(dialog->windowHandle(), QPoint(300, 20));
        return *dialog;
    }

    void clickAt(QPoint point) { QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {}, point); }
    void click(int id) { clickAt(centreOf(id)); }
    void hover(int id) { QTest::mouseMove(dialog->windowHandle(), centreOf(id)); }
    void type(QWidget* w, const QString& text) { QTest::keyClicks(w, text); }

    // The dialog is still open: no OK or Cancel took effect.
    bool stillOpen() const { return dialog->isVisible(); }

    // Moves the dialog's clock on.
    void wait(std::int64_t ms) { clockMs += ms; }

    // Declared before the dialog, which observes them until it is gone.
    FakeKeyCapture keys;
    FakeMessageBoxes messages;
    std::int64_t clockMs = 100000;
    KeyboardConfiguration config;
    std::unique_ptr<CVelaDialogKeyMapSettings> dialog;
};
