#pragma once
// A configuration with a built catalogue, and the key assignment dialog opened on it for one
// key, shown on the offscreen platform and clicked through its window as a user would.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CVelaDialogKeyMapSettings.h"
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

    KeyboardConfiguration config;
    std::unique_ptr<CVelaDialogKeyMapSettings> dialog;
};
