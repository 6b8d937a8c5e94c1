#pragma once
// kx30ctl's command line: the commands, their help, the exit codes and the parsing of
// arguments. No device is touched here.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx30ctl {

// Exit codes scripts can rely on.
enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,       // the operation failed (a transfer, a file that could not be saved)
    kExitUsage = 2,        // bad command line
    kExitNoKeyboard = 3,   // no keyboard and no emulator found
    kExitPermission = 4,   // a keyboard is present but this user may not open it
    kExitMismatch = 5,     // the keyboard does not hold what was written or compared
    kExitBadInput = 6,     // a profile or firmware file that is not valid
};

struct CommandInfo {
    const char* name;
    const char* synopsis;  // after "kx30ctl "
    const char* summary;   // one line for the overview
    const char* details;   // the rest of `kx30ctl help NAME`
    int operands;          // exact number of operands
};

// The commands, in the order the overview lists them.
const std::vector<CommandInfo>& commands();
const CommandInfo* findCommand(std::string_view name);

// The overview (`kx30ctl --help`) and one command's help, each ending with a line end.
std::string overviewHelp();
std::string commandHelp(const CommandInfo& command);

struct Invocation {
    enum class Action { Run, Help, Version };
    Action action = Action::Run;
    const CommandInfo* command = nullptr;  // null with Help: the overview
    std::vector<std::string> operands;
    std::optional<std::string> backup;  // write --backup FILE
    bool noBackup = false;              // write --no-backup
};

struct ParseResult {
    std::optional<Invocation> invocation;
    std::string error;  // plain words when invocation is empty
};

// Parses argv[1..]. "--" ends the options, so a file named "-x" can still be given.
ParseResult parseArguments(const std::vector<std::string>& args);

// "R,G,B" with each value a decimal 0..255; nullopt for anything else.
std::optional<std::array<int, 3>> parseColour(std::string_view text);

}  // namespace kx30ctl
