#pragma once
// Receives the keyboard capture's key strokes, on whatever thread the capture calls from,
// and hands each to the key assignment dialog on the GUI thread as a queued call. The dialog
// may be gone by the time the call runs; the QPointer then drops the key.

#include <QPointer>

#include <cstdint>

#include "CVelaDialogKeyMapSettings.h"
#include "HwiSinks.h"
#include "PostToWindow.h"

class KeyMapHookTarget final : public IHookTarget {
public:
    // Made on the GUI thread; the capture thread only copies the pointer.
    explicit KeyMapHookTarget(CVelaDialogKeyMapSettings* dialog) : dialog_(dialog) {}

    void postHookedKey(std::uint32_t wParam, std::uint32_t lParam) noexcept override {
        postToWindow(dialog_, [wParam, lParam](CVelaDialogKeyMapSettings& dialog) {
            dialog.onHookedKey(wParam, lParam);
        });
    }

private:
    const QPointer<CVelaDialogKeyMapSettings> dialog_;
};
