// Null backend of the keyboard capture, for builds without a display system to grab from:
// capture is never available, and InstallHook says so.
#include "HookBackend.h"

namespace hookbackend {

bool start() { return false; }
void stop() {}
bool available() { return false; }

}  // namespace hookbackend
