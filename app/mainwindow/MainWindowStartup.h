#pragma once
// What the program's start-up runs: the key catalogue first (which also sets the language to
// English), then the main window, modally, on the application's skin and desktop seams.

#include "CVelaApp.h"
#include "CVelaDlg.h"

class KeyboardConfiguration;

// The start-up for CVelaApp::initInstance. `configuration` must outlive the start-up's run;
// `commands` plugs in the windows of the transfer, backlight, firmware and key commands.
CVelaApp::Startup mainWindowStartup(KeyboardConfiguration& configuration, CVelaDlg::Commands commands = {});
