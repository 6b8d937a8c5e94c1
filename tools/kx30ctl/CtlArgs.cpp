#include "CtlArgs.h"

#include <charconv>

namespace kx30ctl {

namespace {

constexpr const char* kExitCodeText =
    "Exit codes:\n"
    "  0  done\n"
    "  1  the operation failed (a transfer, or a file that could not be saved)\n"
    "  2  usage error\n"
    "  3  no keyboard found (neither on USB nor an emulator)\n"
    "  4  a keyboard is present but this user may not open it (see the udev rule)\n"
    "  5  the keyboard does not hold what was written or compared\n"
    "  6  the profile or firmware file is not valid\n";

const std::vector<CommandInfo> kCommands = {
    {"list", "list", "show the keyboards and emulators found",
     "Lists every keyboard configuration interface found, real keyboards first, then an\n"
     "emulator: its path, interface number, kind and whether this user may open it.\n"
     "Exit code 3 when nothing is found.\n",
     0},
    {"version", "version", "show kx30ctl's version and the keyboard's firmware version",
     "Prints kx30ctl's own version, then asks the keyboard for its firmware version.\n", 0},
    {"read", "read PROFILE", "read the keyboard's keys and backlight into a profile file",
     "Reads the key settings of both levels and the four backlight colours from the keyboard\n"
     "and saves them as PROFILE. An existing file is replaced only once the new one is\n"
     "completely written.\n",
     1},
    {"write", "write PROFILE [--backup FILE | --no-backup]",
     "write a profile to the keyboard and check it",
     "Writes the keys of both levels and the backlight colours of PROFILE to the keyboard,\n"
     "then reads the keyboard back and compares; every key that differs is printed.\n"
     "Before writing, the configuration the keyboard holds is saved to a backup profile\n"
     "(default: PROFILE with \"-backup\" added before its extension), so a bad write can be\n"
     "undone with `kx30ctl write BACKUP`. Nothing is written when the backup cannot be made.\n"
     "\n"
     "  --backup FILE  save the keyboard's previous configuration to FILE\n"
     "  --no-backup    do not read or save the previous configuration\n",
     1},
    {"verify", "verify PROFILE", "compare the keyboard with a profile",
     "Reads the keyboard and compares it with PROFILE as the keyboard sees it: keys of both\n"
     "levels and backlight colours. Prints every difference; exit code 5 when there is one.\n",
     1},
    {"light", "light R,G,B R,G,B R,G,B R,G,B", "set the colours of the four backlight areas",
     "Sets backlight areas 1 to 4, each given as red,green,blue with values 0 to 255, then\n"
     "reads them back to check.\n",
     4},
    {"flash", "flash HEXFILE", "replace the keyboard's firmware from an Intel HEX file",
     "Checks the whole image first (every record's digits, length, type and checksum, and the\n"
     "end-of-file record) and refuses an invalid one naming its first bad line, before a\n"
     "single line is sent. Then downloads it, with a progress bar when stderr is a terminal.\n"
     "Afterwards wait for the keyboard's lights to settle, then unplug and replug it.\n",
     1},
    {"help", "help [COMMAND]", "show this overview or a command's help",
     "`kx30ctl help COMMAND` and `kx30ctl COMMAND --help` show a command's help.\n", -1},
};

bool isOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

ParseResult fail(std::string message) { return {std::nullopt, std::move(message)}; }

}  // namespace

const std::vector<CommandInfo>& commands() { return kCommands; }

const CommandInfo* findCommand(std::string_view name) {
    for (const CommandInfo& c : kCommands)
        if (name == c.name) return &c;
    return nullptr;
}

std::string overviewHelp() {
    std::string text =
        "Usage: kx30ctl COMMAND [ARGUMENTS]\n"
        "Configures the Kelvane X30 keyboard (or the emulator standing in for it).\n\nCommands:\n";
    for (const CommandInfo& c : kCommands) {
        std::string line = "  ";
        line += c.name;
        line.resize(11, ' ');
        text += line + c.summary + "\n";
    }
    text +=
        "\nOptions: --help (also after a command), --version.\n"
        "The emulator is found at $KELVANE_X30_EMULATOR, else "
        "$XDG_RUNTIME_DIR/kelvane-x30-emulator.sock.\n\n";
    text += kExitCodeText;
    return text;
}

std::string commandHelp(const CommandInfo& command) {
    return std::string("Usage: kx30ctl ") + command.synopsis + "\n" + command.summary + ".\n\n" +
           command.details + "\n" + kExitCodeText;
}

ParseResult parseArguments(const std::vector<std::string>& args) {
    Invocation inv;
    bool help = false;
    bool optionsEnd = false;
    std::vector<std::string> words;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnd || !isOption(arg)) {
            words.push_back(arg);
        } else if (arg == "--") {
            optionsEnd = true;
        } else if (arg == "-h" || arg == "--help") {
            help = true;
        } else if (arg == "--version" && words.empty()) {
            inv.action = Invocation::Action::Version;
            return {inv, {}};
        } else if (arg == "--backup" || arg.starts_with("--backup=")) {
            if (arg == "--backup") {
                if (i + 1 >= args.size()) return fail("--backup needs a file name");
                inv.backup = args[++i];
            } else {
                inv.backup = arg.substr(9);
            }
            if (inv.backup->empty()) return fail("--backup needs a file name");
        } else if (arg == "--no-backup") {
            inv.noBackup = true;
        } else {
            return fail("unknown option " + arg);
        }
    }

    if (words.empty()) {
        if (!help) return fail("no command given");
        inv.action = Invocation::Action::Help;
        return {inv, {}};
    }
    inv.command = findCommand(words[0]);
    if (!inv.command) return fail("unknown command \"" + words[0] + "\"");
    inv.operands.assign(words.begin() + 1, words.end());

    if (std::string_view(inv.command->name) == "help") {
        inv.action = Invocation::Action::Help;
        if (inv.operands.size() > 1) return fail("help takes at most one command");
        inv.command = nullptr;
        if (!inv.operands.empty()) {
            inv.command = findCommand(inv.operands[0]);
            if (!inv.command) return fail("unknown command \"" + inv.operands[0] + "\"");
        }
        inv.operands.clear();
        return {inv, {}};
    }
    if (help) {
        inv.action = Invocation::Action::Help;
        inv.operands.clear();
        return {inv, {}};
    }
    const bool writes = std::string_view(inv.command->name) == "write";
    if (!writes && (inv.backup || inv.noBackup))
        return fail(std::string("--backup and --no-backup belong to write, not ") + inv.command->name);
    if (inv.backup && inv.noBackup) return fail("--backup and --no-backup exclude each other");
    if (static_cast<int>(inv.operands.size()) != inv.command->operands) {
        return fail(std::string(inv.command->name) + " takes " +
                    std::to_string(inv.command->operands) +
                    (inv.command->operands == 1 ? " argument" : " arguments") + ": kx30ctl " +
                    inv.command->synopsis);
    }
    return {inv, {}};
}

std::optional<std::array<int, 3>> parseColour(std::string_view text) {
    std::array<int, 3> colour{};
    std::size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t end = i < 2 ? text.find(',', at) : text.size();
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view part = text.substr(at, end - at);
        // Digits only: no sign, no blanks, no hex, at most three of them.
        if (part.empty() || part.size() > 3 ||
            part.find_first_not_of("0123456789") != std::string_view::npos)
            return std::nullopt;
        int value = 0;
        std::from_chars(part.data(), part.data() + part.size(), value);
        if (value > 255) return std::nullopt;
        colour[static_cast<std::size_t>(i)] = value;
        at = end + 1;
    }
    return colour;
}

}  // namespace kx30ctl
