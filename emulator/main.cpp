// kx30-emulator: the keyboard, as a process. See README.md and --help.

#include <signal.h>

#include <cstdio>
#include <string>
#include <vector>

#include "KeyboardMemory.h"
#include "Options.h"
#include "SocketServer.h"

namespace {

void onStopSignal(int) { kx30emu::SocketServer::requestStop(); }

}  // namespace

int main(int argc, char** argv) {
    using namespace kx30emu;
    Options options;
    std::string error;
    if (!parseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "kx30-emulator: %s\n%s", error.c_str(), usage().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(usage().c_str(), stdout);
        return 0;
    }

    KeyboardMemory memory(kDefaultVersion);
    if (!options.stateFile.empty()) {
        memory.attachFile(options.stateFile);
        bool found = false;
        if (!memory.load(found, error)) {
            // A broken file is kept as it is for a person to look at, never overwritten.
            std::fprintf(stderr, "kx30-emulator: refusing to start: %s\n", error.c_str());
            return 1;
        }
    }
    if (options.version) memory.setVersion(*options.version);

    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    SocketServer server(memory, options.faults, options.log);
    if (!server.listen(options.socketPath, error)) {
        std::fprintf(stderr, "kx30-emulator: %s\n", error.c_str());
        return 1;
    }
    printEvent("ready " + options.socketPath);
    return server.run();
}
