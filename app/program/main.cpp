// KelvaneX30: the configuration program of the keyboard.

#include "CVelaApp.h"
#include "KeyboardConfiguration.h"
#include "MainWindowStartup.h"

namespace {
// The one configuration of the process. It outlives every window; its destruction at exit
// closes the keyboard.
KeyboardConfiguration configuration;
}  // namespace

int main(int argc, char** argv) {
    return runKelvaneX30(argc, argv, mainWindowStartup(configuration));
}
