// The platform-independent half of the keyboard capture: who the target is, the order of
// install and uninstall, and the hook procedure that posts to the target.
#include "KeyboardHook.h"

#include <mutex>

#include "HookBackend.h"

namespace {

// Two locks: `control` orders InstallHook/UninstallHook (it is held while a backend
// starts or stops, which may wait for the backend's reader thread); `delivery` guards the
// target and is held while posting, so clearing the target waits for a post in flight and
// nothing reaches a target after UninstallHook returned.
struct HookState {
    std::mutex control;
    std::mutex delivery;
    IHookTarget* target = nullptr;
    bool installed = false;

    void uninstallLocked();

    // The library being unloaded or the process ending releases the capture. The backends
    // keep no destructible statics of their own, so they are still whole at this point.
    ~HookState() {
        std::lock_guard lock(control);
        uninstallLocked();
    }
};

// Constant-initialised: there from before any other static object until after all of them.
// MinGW's std::mutex (winpthreads) cannot be constant-initialised; there the state is set up
// with the library's own statics, which on Windows are all done before a program's first
// call reaches the library, and torn down after the program's.
#if defined(__MINGW32__)
HookState gState;
#else
constinit HookState gState;
#endif

// Set while KeyBoardProc posts on this thread: a target calling back into the hook from
// postHookedKey would otherwise wait for itself.
thread_local bool tDelivering = false;

void setTarget(HookState& s, IHookTarget* target) {
    std::lock_guard lock(s.delivery);
    s.target = target;
}

void HookState::uninstallLocked() {
    if (installed) {
        hookbackend::stop();
        installed = false;
    }
    setTarget(*this, nullptr);
}

}  // namespace

bool InstallHook(IHookTarget* target) {
    if (tDelivering) return false;
    HookState& s = gState;
    std::lock_guard lock(s.control);
    // Replace, never stack: the earlier capture goes before the new one starts.
    s.uninstallLocked();
    if (target == nullptr) return false;  // capturing for nobody would only lock the user out
    setTarget(s, target);
    if (!hookbackend::start()) {
        setTarget(s, nullptr);
        return false;
    }
    s.installed = true;
    return true;
}

void UninstallHook() {
    if (tDelivering) return;
    HookState& s = gState;
    std::lock_guard lock(s.control);
    s.uninstallLocked();
}

bool IsHookAvailable() {
    if (tDelivering) return true;  // a key is being delivered: the capture runs
    HookState& s = gState;
    std::lock_guard lock(s.control);
    return s.installed || hookbackend::available();
}

LRESULT KX30_HOOK_CALL KeyBoardProc(int code, WPARAM message, LPARAM record) {
    (void)code;  // every event is taken, whatever the code
    const auto* key = reinterpret_cast<const HookKeyRecord*>(record);
    if (key == nullptr) return 1;
    const HookedKey posted =
        translateHookedKey(static_cast<std::uint32_t>(message), key->vkCode, key->flags);
    HookState& s = gState;
    std::lock_guard lock(s.delivery);
    if (s.target != nullptr) {
        tDelivering = true;
        s.target->postHookedKey(posted.wParam, posted.lParam);
        tDelivering = false;
    }
    return 1;
}
