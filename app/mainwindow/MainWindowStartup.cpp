#include "MainWindowStartup.h"

#include "KeyboardConfiguration.h"
#include "ProfileStore.h"

CVelaApp::Startup mainWindowStartup(KeyboardConfiguration& configuration, CVelaDlg::Commands commands) {
    CVelaApp::Startup startup;
    startup.prepareConfiguration = [&configuration] { configuration.buildKeyCatalogue(); };
    startup.runMainWindow = [&configuration, commands = std::move(commands)](CVelaApp& app) {
        CVelaDlg window(configuration, app.resources(), app.services(), makeModelProfileStore());
        window.setCommands(commands);
        window.exec();
    };
    return startup;
}
