// Windows backend of the keyboard capture: the low-level keyboard hook. The platform calls
// KeyBoardProc on the installing thread, through its message loop, with a KBDLLHOOKSTRUCT;
// KeyBoardProc posts to the target and returns 1, so the stroke reaches nothing else.
#include <windows.h>

#include <cstddef>

#include "HookBackend.h"
#include "KeyboardHook.h"

static_assert(sizeof(HookKeyRecord) == sizeof(KBDLLHOOKSTRUCT));
static_assert(offsetof(HookKeyRecord, flags) == offsetof(KBDLLHOOKSTRUCT, flags));
static_assert(kHookFlagExtended == LLKHF_EXTENDED);

// The hook handle lives in a section every process that loads the library shares, so there
// is one capture for the desktop. The target stays per process: the low-level hook runs in
// the installing thread, which is the only one that posts to it.
#if defined(_MSC_VER)
#pragma section("hookdata", read, write, shared)
#pragma comment(linker, "/SECTION:hookdata,RWS")
__declspec(allocate("hookdata")) static HHOOK gHook = nullptr;
#else
// GCC names the section and marks it shared (readable, writable, one copy) itself.
static HHOOK gHook __attribute__((section("hookdata"), shared)) = nullptr;
#endif

namespace {

HINSTANCE gInstance = nullptr;  // this library's module, recorded at attach

}  // namespace

// The C name the runtime calls when the library is attached.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) gInstance = instance;
    return TRUE;
}

namespace hookbackend {

bool start() {
    gHook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyBoardProc, gInstance, 0);
    return gHook != nullptr;
}

void stop() {
    if (gHook == nullptr) return;
    UnhookWindowsHookEx(gHook);
    gHook = nullptr;
}

bool available() { return true; }

}  // namespace hookbackend
