#include "CtlCommands.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "Discovery.h"
#include "HexImage.h"
#include "KeyboardAccessText.h"
#include "KeyboardConfiguration.h"
#include "Profile.h"
#include "ProgressBar.h"
#include "TransferJobs.h"
#include "Verify.h"

#ifndef KX30CTL_VERSION
#define KX30CTL_VERSION "unknown"
#endif

namespace kx30ctl {

namespace {

// A firmware image is a few hundred kilobytes; anything far larger is not one.
constexpr std::uintmax_t kMaxHexFileBytes = 64u << 20;

void error(const std::string& message) { std::fprintf(stderr, "kx30ctl: %s\n", message.c_str()); }

// The keyboard needs no pauses after a transfer here: the next request waits for its answer.
JobOptions noWaits() {
    JobOptions options;
    options.keySettle = std::chrono::milliseconds(0);
    options.lightSettle = std::chrono::milliseconds(0);
    return options;
}

// A configuration with its catalogue and cleared settings, as the program starts.
std::unique_ptr<KeyboardConfiguration> freshConfiguration() {
    auto configuration = std::make_unique<KeyboardConfiguration>();
    configuration->buildKeyCatalogue();
    configuration->clearConfiguration();
    return configuration;
}

// Opens the keyboard of `configuration`; on failure says why and returns the exit code.
int openKeyboard(KeyboardConfiguration& configuration) {
    if (configuration.device.__createDev()) return kExitOk;
    const std::vector<KeyboardAccessReport> reports = probeKeyboards();
    for (const KeyboardAccessReport& r : reports) {
        if (r.access != KeyboardAccess::PermissionDenied) continue;
        error(permissionProblemText(r, KeyboardConfiguration::kEnglish));
        return kExitPermission;
    }
    for (const KeyboardAccessReport& r : reports) {
        error("the keyboard at " + shownPath(r.device) + " could not be opened: " +
              describeKeyboardAccess(r.access));
        return kExitFailed;
    }
    error("no keyboard found: none on USB, and no emulator listening at " + emulatorSocketPath());
    return kExitNoKeyboard;
}

std::string jobFailure(const JobResult& result) {
    switch (result.status) {
    case JobStatus::Ok: return "done";
    case JobStatus::Cancelled: return "cancelled";
    case JobStatus::KeyRefused:
        return "level " + std::to_string(result.level + 1) + " key " + std::to_string(result.key) +
               " does not fit a key record (too many entries or a value out of range)";
    case JobStatus::PrepareFailed: return "the library could not empty its key store";
    case JobStatus::KeyWriteFailed: return "sending the key settings to the keyboard failed";
    case JobStatus::KeyReadFailed: return "the keyboard did not send its key settings";
    case JobStatus::LightReadFailed: return "the keyboard did not send its backlight colours";
    case JobStatus::LightWriteFailed: return "sending the backlight colours to the keyboard failed";
    }
    return "failed";
}

// Loads a profile for writing or comparing; says why it is refused.
int loadWanted(KeyboardConfiguration& configuration, const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        error(path + ": " + (std::filesystem::exists(path, ec) ? "not a regular file" : "no such file"));
        return kExitBadInput;
    }
    const ProfileResult loaded = loadProfile(configuration, path);
    if (!loaded.ok) {
        error(path + ": not a valid profile: " + loaded.message);
        return kExitBadInput;
    }
    return kExitOk;
}

// Prints every difference on stdout; true when there were none.
bool printDifferences(const VerifyReport& report) {
    for (const KeyDifference& d : report.keys) std::printf("%s\n", describeDifference(d).c_str());
    for (const AreaDifference& d : report.areas) std::printf("%s\n", describeDifference(d).c_str());
    std::fflush(stdout);
    return report.matches();
}

// "1 key", "3 keys and 1 backlight area".
std::string differenceCount(const VerifyReport& report) {
    std::string text = std::to_string(report.keys.size()) + (report.keys.size() == 1 ? " key" : " keys");
    if (!report.areas.empty())
        text += " and " + std::to_string(report.areas.size()) +
                (report.areas.size() == 1 ? " backlight area" : " backlight areas");
    return text;
}

int commandList() {
    const std::vector<KeyboardAccessReport> reports = probeKeyboards();
    for (const KeyboardAccessReport& r : reports) {
        std::printf("%s\tinterface %d\t%s\t%s\n", shownPath(r.device).c_str(),
                    r.device.interfaceNumber, r.device.emulator ? "emulator" : "keyboard",
                    describeKeyboardAccess(r.access));
    }
    if (reports.empty()) {
        error("no keyboard found: none on USB, and no emulator listening at " + emulatorSocketPath());
        return kExitNoKeyboard;
    }
    return kExitOk;
}

int commandVersion() {
    std::printf("kx30ctl %s\n", KX30CTL_VERSION);
    std::fflush(stdout);
    auto keyboard = freshConfiguration();
    if (int rc = openKeyboard(*keyboard); rc != kExitOk) return rc;
    wchar_t text[64] = {};
    if (!keyboard->device.ReadKeyboardVersion(text)) {
        error("the keyboard did not answer the version request");
        return kExitFailed;
    }
    std::printf("firmware %ls\n", text);
    return kExitOk;
}

int commandRead(const std::string& path) {
    auto keyboard = freshConfiguration();
    if (int rc = openKeyboard(*keyboard); rc != kExitOk) return rc;
    const JobResult read = readConfiguration(*keyboard, noWaits());
    if (!read.ok()) {
        error("reading the keyboard failed: " + jobFailure(read) + "; " + path + " was not written");
        return kExitFailed;
    }
    const ProfileResult saved = saveProfile(*keyboard, path);
    if (!saved.ok) {
        error("could not save " + path + ": " + saved.message);
        return kExitFailed;
    }
    std::printf("Saved the keyboard's configuration to %s\n", path.c_str());
    return kExitOk;
}

int commandWrite(const Invocation& inv) {
    const std::string& path = inv.operands[0];
    auto wanted = freshConfiguration();
    if (int rc = loadWanted(*wanted, path); rc != kExitOk) return rc;

    std::string backup;
    if (!inv.noBackup) {
        backup = inv.backup ? *inv.backup : defaultBackupPath(path);
        // The backup would replace the very profile about to be written.
        std::error_code ec;
        if (std::filesystem::weakly_canonical(backup, ec) == std::filesystem::weakly_canonical(path, ec)) {
            error("the backup " + backup + " would replace the profile itself; choose another file");
            return kExitUsage;
        }
    }

    auto keyboard = freshConfiguration();
    if (int rc = openKeyboard(*keyboard); rc != kExitOk) return rc;

    if (!inv.noBackup) {
        const JobResult before = readConfiguration(*keyboard, noWaits());
        if (!before.ok()) {
            error("could not read the keyboard's current configuration for the backup (" +
                  jobFailure(before) + "); nothing was written. --no-backup writes without one.");
            return kExitFailed;
        }
        const ProfileResult saved = saveProfile(*keyboard, backup);
        if (!saved.ok) {
            error("could not save the backup " + backup + " (" + saved.message +
                  "); nothing was written. Choose another file with --backup FILE.");
            return kExitFailed;
        }
        std::printf("Saved the keyboard's previous configuration to %s\n", backup.c_str());
        std::fflush(stdout);
    }

    // The same file again, into the configuration that holds the keyboard.
    if (int rc = loadWanted(*keyboard, path); rc != kExitOk) return rc;
    const JobResult keys = writeKeySettings(*keyboard, noWaits());
    if (keys.status == JobStatus::KeyRefused) {
        error(path + ": " + jobFailure(keys) + "; nothing was written");
        return kExitBadInput;
    }
    if (!keys.ok()) {
        error("writing the keys failed: " + jobFailure(keys));
        return kExitFailed;
    }
    const JobResult lights = writeBacklightAreas(*keyboard, noWaits());
    if (!lights.ok()) {
        error("writing the backlight failed: " + jobFailure(lights));
        return kExitFailed;
    }

    const JobResult after = readConfiguration(*keyboard, noWaits());
    if (!after.ok()) {
        error("the profile was sent, but reading it back for the check failed: " + jobFailure(after));
        return kExitFailed;
    }
    const VerifyReport report = compareAsKeyboardSees(*wanted, *keyboard);
    if (!printDifferences(report)) {
        std::string message = "the keyboard does not hold what was written: it differs from " +
                              path + " in " + differenceCount(report) + " (listed above).";
        if (!backup.empty())
            message += "\nIts previous configuration is in " + backup +
                       "; restore it with: kx30ctl write " + backup;
        error(message);
        return kExitMismatch;
    }
    std::printf("Wrote %s to the keyboard and checked it\n", path.c_str());
    return kExitOk;
}

int commandVerify(const std::string& path) {
    auto wanted = freshConfiguration();
    if (int rc = loadWanted(*wanted, path); rc != kExitOk) return rc;
    auto keyboard = freshConfiguration();
    if (int rc = openKeyboard(*keyboard); rc != kExitOk) return rc;
    const JobResult read = readConfiguration(*keyboard, noWaits());
    if (!read.ok()) {
        error("reading the keyboard failed: " + jobFailure(read));
        return kExitFailed;
    }
    const VerifyReport report = compareAsKeyboardSees(*wanted, *keyboard);
    if (!printDifferences(report)) {
        error("the keyboard differs from " + path + " in " + differenceCount(report));
        return kExitMismatch;
    }
    std::printf("The keyboard holds %s\n", path.c_str());
    return kExitOk;
}

int commandLight(const std::vector<std::string>& operands) {
    std::array<int, KeyboardConfiguration::kAreaValueCount> values{};
    for (std::size_t area = 0; area < operands.size(); ++area) {
        const auto colour = parseColour(operands[area]);
        if (!colour) {
            error("area " + std::to_string(area + 1) + ": \"" + operands[area] +
                  "\" is not R,G,B with values 0 to 255");
            return kExitUsage;
        }
        std::copy(colour->begin(), colour->end(), values.begin() + static_cast<long>(3 * area));
    }
    auto keyboard = freshConfiguration();
    if (int rc = openKeyboard(*keyboard); rc != kExitOk) return rc;
    std::copy(values.begin(), values.end(),
              keyboard->backlight.begin() + KeyboardConfiguration::kFirstAreaValue);
    const JobResult written = writeBacklightAreas(*keyboard, noWaits());
    if (!written.ok()) {
        error("writing the backlight failed: " + jobFailure(written));
        return kExitFailed;
    }
    std::array<int, KeyboardConfiguration::kAreaValueCount> held{};
    if (!keyboard->device.readKeyLightFromDev() || !keyboard->device.getKeyboardLightArea(held.data())) {
        error("the colours were sent, but reading them back for the check failed");
        return kExitFailed;
    }
    if (held != values) {
        for (int area = 0; area < KeyboardConfiguration::kAreaCount; ++area) {
            AreaDifference d{area + 1, {}, {}};
            for (int c = 0; c < 3; ++c) {
                d.wanted[static_cast<std::size_t>(c)] = values[static_cast<std::size_t>(3 * area + c)];
                d.held[static_cast<std::size_t>(c)] = held[static_cast<std::size_t>(3 * area + c)];
            }
            if (d.wanted != d.held) std::printf("%s\n", describeDifference(d).c_str());
        }
        std::fflush(stdout);
        error("the keyboard does not hold the colours that were sent");
        return kExitMismatch;
    }
    std::printf("Set the backlight areas to %s %s %s %s\n", operands[0].c_str(), operands[1].c_str(),
                operands[2].c_str(), operands[3].c_str());
    return kExitOk;
}

int commandFlash(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        error(path + ": " + (std::filesystem::exists(path, ec) ? "not a regular file" : "no such file"));
        return kExitBadInput;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxHexFileBytes) {
        error(path + ": " + (ec ? "cannot be read" : "too large for a firmware image"));
        return kExitBadInput;
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file || std::fread(text.data(), 1, text.size(), file.get()) != text.size()) {
        error(path + ": cannot be read");
        return kExitBadInput;
    }
    const HexImageCheck check = validateHexImage(text);
    if (!check.ok()) {
        error(path + " line " + std::to_string(check.line) + ": " + check.reason() +
              "; nothing was sent to the keyboard");
        return kExitBadInput;
    }

    auto keyboard = freshConfiguration();
    if (int rc = openKeyboard(*keyboard); rc != kExitOk) return rc;
    bool sent = false;
    {
        ProgressBar bar(stderr, ::isatty(STDERR_FILENO) == 1);
        sent = keyboard->device.WriteFirmwareToKeyboard(text.data(), static_cast<int>(text.size()), &bar);
        bar.finish();
    }
    if (!sent) {
        error("the firmware download failed part way; the keyboard may need the image again");
        return kExitFailed;
    }
    std::printf("Sent %d firmware records. Wait for the keyboard's lights to settle, then unplug and "
                "replug it.\n",
                check.records);
    return kExitOk;
}

}  // namespace

std::string defaultBackupPath(const std::string& profile) {
    std::filesystem::path p(profile);
    std::string extension = p.extension().string();
    if (extension.empty()) extension = ".pro";
    p.replace_filename(p.stem().string() + "-backup" + extension);
    return p.string();
}

int run(const Invocation& inv) {
    switch (inv.action) {
    case Invocation::Action::Version: std::printf("kx30ctl %s\n", KX30CTL_VERSION); return kExitOk;
    case Invocation::Action::Help:
        std::fputs((inv.command ? commandHelp(*inv.command) : overviewHelp()).c_str(), stdout);
        return kExitOk;
    case Invocation::Action::Run: break;
    }
    const std::string_view name = inv.command->name;
    if (name == "list") return commandList();
    if (name == "version") return commandVersion();
    if (name == "read") return commandRead(inv.operands[0]);
    if (name == "write") return commandWrite(inv);
    if (name == "verify") return commandVerify(inv.operands[0]);
    if (name == "light") return commandLight(inv.operands);
    if (name == "flash") return commandFlash(inv.operands[0]);
    return kExitUsage;
}

}  // namespace kx30ctl
