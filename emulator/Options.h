#pragma once
// The emulator's command line.

#include <optional>
#include <string>
#include <vector>

#include "Faults.h"

namespace kx30emu {

inline constexpr const char* kDefaultVersion = "KX30 FW 1.02 (emulator)";

struct Options {
    std::string socketPath;
    std::string stateFile;
    std::optional<std::string> version;  // set only when given on the command line
    bool log = false;
    bool help = false;
    FaultModes faults;
};

// The socket path when --socket is not given: $KELVANE_X30_EMULATOR, else
// $XDG_RUNTIME_DIR/kelvane-x30-emulator.sock, else /tmp/kelvane-x30-emulator.sock.
std::string defaultSocketPath();

// Parses argv[1..]. False with error set on an unknown option, a missing or bad value.
bool parseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

// The --help text.
std::string usage();

}  // namespace kx30emu
