// kx30ctl: the keyboard's configuration from the command line, for people and scripts.
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "CtlArgs.h"
#include "CtlCommands.h"

int main(int argc, char** argv) {
    // The firmware version text arrives in the locale's code set.
    std::setlocale(LC_ALL, "");
    const std::vector<std::string> args(argv + 1, argv + argc);
    const kx30ctl::ParseResult parsed = kx30ctl::parseArguments(args);
    if (!parsed.invocation) {
        std::fprintf(stderr, "kx30ctl: %s\nTry \"kx30ctl --help\".\n", parsed.error.c_str());
        return kx30ctl::kExitUsage;
    }
    return kx30ctl::run(*parsed.invocation);
}
