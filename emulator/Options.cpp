#include "Options.h"

#include <cstdlib>

namespace kx30emu {

std::string defaultSocketPath() {
    if (const char* p = std::getenv("KELVANE_X30_EMULATOR"); p && *p) return p;
    if (const char* d = std::getenv("XDG_RUNTIME_DIR"); d && *d)
        return std::string(d) + "/kelvane-x30-emulator.sock";
    return "/tmp/kelvane-x30-emulator.sock";
}

bool parseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
    options.socketPath = defaultSocketPath();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            options.help = true;
        } else if (a == "--socket") {
            if (!value(options.socketPath)) return false;
        } else if (a == "--state") {
            if (!value(options.stateFile)) return false;
            if (options.stateFile.empty()) {
                error = "--state needs a file name";
                return false;
            }
        } else if (a == "--version") {
            if (!value(v)) return false;
            if (v.size() > kVersionTextMax) {
                error = "--version text is longer than " + std::to_string(kVersionTextMax) + " bytes";
                return false;
            }
            options.version = v;
        } else if (a == "--log") {
            options.log = true;
        } else if (a == "--usb-pacing") {
            options.faults.usbPacing = true;
        } else if (a == "--disconnect-after") {
            if (!value(v)) return false;
            char* end = nullptr;
            const long n = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0' || n < 1) {
                error = "--disconnect-after needs a whole number of reports (1 or more), not '" + v + "'";
                return false;
            }
            options.faults.disconnectAfter = n;
        } else if (a == "--silent") {
            options.faults.silent = true;
        } else if (a == "--stray") {
            options.faults.stray = true;
        } else if (a == "--malformed") {
            if (!value(v)) return false;
            const auto mode = malformedFromName(v);
            if (!mode) {
                error = "unknown --malformed mode '" + v +
                        "' (bad-slot, truncated-macro, bad-kind, corrupt-key)";
                return false;
            }
            options.faults.malformed = *mode;
        } else {
            error = "unknown option '" + a + "'";
            return false;
        }
    }
    return true;
}

std::string usage() {
    return R"USAGE(Usage: kx30-emulator [--socket PATH] [--state FILE] [--version TEXT] [--log]
                     [--usb-pacing] [--disconnect-after N] [--silent] [--stray]
                     [--malformed MODE] [--help]

Stands in for the keyboard: listens on a Unix-domain SOCK_SEQPACKET socket where every
message is one 65-byte report (report id 0, then 64 payload bytes).

  --socket PATH         where to listen (default: $KELVANE_X30_EMULATOR, else
                        $XDG_RUNTIME_DIR/kelvane-x30-emulator.sock, else
                        /tmp/kelvane-x30-emulator.sock)
  --state FILE          keep the memory (key records, light bytes, version) in FILE:
                        loaded at start, saved after each finished key or light write
  --version TEXT        the version text (at most 62 bytes; default
                        "KX30 FW 1.02 (emulator)"; overrides the one in the state file)
  --log                 log every report received and sent to stderr, hex and decoded
  --usb-pacing          one report per millisecond in each direction
  --disconnect-after N  after N host messages, close everything, remove the socket,
                        print "disconnected" and exit 0 (the keyboard was unplugged)
  --silent              take everything in, never answer
  --stray               put a stray input report (payload 01 00 04 00 ...) before each
                        report of a key or light answer
  --malformed MODE      bend the key answer:
                          bad-slot         records for level 3 key 1, level 1 key 0 and
                                           level 1 key 88 mixed in
                          truncated-macro  only the first chunk of a 2-chunk macro
                                           (level 1 key 1, L=100), then nothing
                          bad-kind         slot 0 (level 1 key 1) goes out with kind 7
                          corrupt-key      the first stored code is sent plus one
  --help                this text

Standard output, one line each, flushed:
  ready PATH                          listening
  keys-written RECORDS                a key write ended (RECORDS stored in it)
  keys-read                           the key request was answered
  lights-written R,G,B R,G,B R,G,B R,G,B
  lights-read
  version-read
  firmware-line N ok | firmware-line N bad checksum|type|truncated
  firmware-flashed LINES BYTES        end-of-file record, every line good
  firmware-rejected LINE REASON       end-of-file record, LINE the first bad one
  ignored WHAT                        a report the keyboard did not act on
  state-save-failed WHY
  disconnected                        after --disconnect-after

Exit status: 0 on SIGTERM/SIGINT or after --disconnect-after; 1 when it cannot start
(another emulator listens on PATH, bad state file, ...); 2 on a bad command line.
)USAGE";
}

}  // namespace kx30emu
