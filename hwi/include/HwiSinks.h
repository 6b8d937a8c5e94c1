#pragma once
// The library never calls into the program; it only posts messages to a receiver the
// program passes in. These are those receivers. A null pointer means "nobody listens".

#include <cstdint>

#include "KelvaneX30Export.h"

// Message numbers the program and the library agree on.
inline constexpr unsigned WM_TRAY_ICON = 0x465;          // WM_USER + 101
inline constexpr unsigned WM_HOOKED_KEY = 0x466;         // WM_USER + 102
inline constexpr unsigned WM_TRANSFER_PROGRESS = 0x467;  // WM_USER + 103
inline constexpr unsigned WM_TRANSFER_FINISHED = 0x468;  // WM_USER + 104

// Receives WM_TRANSFER_PROGRESS. Called on the thread that runs the transfer; an
// implementation must only post (queue) the value to its window and return at once.
class KX30_API IProgressSink {
public:
    virtual ~IProgressSink();
    // wParam of WM_TRANSFER_PROGRESS: a slot index 0..173 for key transfers, a value on a
    // scale of 150 for firmware downloads.
    virtual void postTransferProgress(int wParam) noexcept = 0;
};

// Receives WM_HOOKED_KEY while the keyboard capture is installed.
class KX30_API IHookTarget {
public:
    virtual ~IHookTarget();
    // wParam: virtual-key code with bit 31 for a release and bit 30 for a system key;
    // lParam: 0x01000000 for an extended key, else 0.
    virtual void postHookedKey(std::uint32_t wParam, std::uint32_t lParam) noexcept = 0;
};
