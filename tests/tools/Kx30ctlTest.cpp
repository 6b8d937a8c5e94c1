// kx30ctl end to end: the real binary against the real emulator process.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "CtlRunner.h"
#include "EmulatorProcess.h"
#include "Profile.h"
#include "ProfileFixtures.h"
#include "Verify.h"

namespace {

using namespace std::chrono_literals;
using kx30test::CtlRun;
using kx30test::runCtl;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

int countEvents(kx30test::EmulatorProcess& emulator, const std::string& prefix) {
    int n = 0;
    for (const std::string& e : emulator.events()) n += e.rfind(prefix, 0) == 0;
    return n;
}

class Kx30ctl : public ::testing::Test {
protected:
    void start(std::vector<std::string> args = {}) {
        ASSERT_TRUE(emulator.start({.args = std::move(args)})) << emulator.error();
    }
    std::string file(const std::string& name) const { return emulator.tempDir() + "/" + name; }
    // Saves sample configuration `variant` as a profile and returns its path.
    std::string sampleProfile(int variant, const std::string& name) {
        const std::string path = file(name);
        EXPECT_TRUE(saveProfile(*kx30test::sampleConfiguration(variant), path).ok);
        return path;
    }
    std::unique_ptr<KeyboardConfiguration> load(const std::string& path) {
        auto c = kx30test::freshConfiguration();
        EXPECT_TRUE(loadProfile(*c, path).ok) << path;
        return c;
    }

    kx30test::EmulatorProcess emulator;
};

TEST_F(Kx30ctl, ListShowsTheEmulatorWithPathAndInterface) {
    start();
    const CtlRun run = runCtl({"list"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(contains(run.out, emulator.socketPath() + "\tinterface 1\temulator\tok\n")) << run.out;
}

TEST_F(Kx30ctl, VersionNamesToolAndFirmware) {
    start({"--version", "TEST FW 7.5"});
    const CtlRun run = runCtl({"version"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "kx30ctl " KX30_VERSION "\nfirmware TEST FW 7.5\n");
    EXPECT_EQ(runCtl({"--version"}).out, "kx30ctl " KX30_VERSION "\n");
}

TEST_F(Kx30ctl, WriteChecksAndReadGivesTheProfileBack) {
    start();
    const std::string first = sampleProfile(0, "first.pro");
    CtlRun run = runCtl({"write", first});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_FALSE(emulator.waitForEvent("keys-written", 5s).empty());
    EXPECT_FALSE(emulator.waitForEvent("lights-written 255,0,0 0,144,73 0,0,255 255,255,255", 5s).empty());

    // The backup holds what the keyboard had before: nothing.
    const std::string backup = file("first-backup.pro");
    EXPECT_TRUE(contains(run.out, backup)) << run.out;
    auto before = load(backup);
    EXPECT_TRUE(compareAsKeyboardSees(*before, *kx30test::freshConfiguration(), CompareAreas::No).matches());
    for (int i = 0; i < KeyboardConfiguration::kAreaValueCount; ++i)
        EXPECT_EQ(before->backlight[std::size_t(KeyboardConfiguration::kFirstAreaValue + i)], 0);

    run = runCtl({"verify", first});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;

    run = runCtl({"read", file("back.pro")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const VerifyReport report = compareAsKeyboardSees(*kx30test::sampleConfiguration(0), *load(file("back.pro")));
    EXPECT_TRUE(report.matches());

    // A second write keeps the first profile as the backup, where asked.
    run = runCtl({"write", sampleProfile(1, "second.pro"), "--backup", file("undo.pro")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(compareAsKeyboardSees(*kx30test::sampleConfiguration(0), *load(file("undo.pro"))).matches());
    run = runCtl({"write", "--no-backup", file("undo.pro")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(std::filesystem::exists(file("undo-backup.pro")));
    EXPECT_EQ(runCtl({"verify", first}).exitCode, 0);
}

TEST_F(Kx30ctl, VerifyPrintsEveryKeyThatDiffers) {
    start();
    ASSERT_EQ(runCtl({"write", "--no-backup", sampleProfile(0, "a.pro")}).exitCode, 0);
    const CtlRun run = runCtl({"verify", sampleProfile(1, "b.pro")});
    EXPECT_EQ(run.exitCode, 5);
    EXPECT_EQ(run.out,
              "Level 1 key 5 (F4): wanted Single: B, keyboard has Single: A\n"
              "Level 1 key 30 (W): wanted Macro, 1 cycle, timed: H, <80 ms>, H, keyboard has "
              "Macro, 1 cycle, timed: A, <50 ms>, A\n"
              "Level 2 key 40 (]): wanted Single: I, keyboard has Not set\n"
              "Backlight area 2: wanted 0,200,73, keyboard has 0,144,73\n");
    EXPECT_TRUE(contains(run.err, "3 keys and 1 backlight area")) << run.err;
}

TEST_F(Kx30ctl, WriteReportsWhatTheKeyboardGotWrongAndKeepsTheBackup) {
    start({"--malformed", "corrupt-key"});
    const std::string profile = sampleProfile(0, "keys.pro");
    const CtlRun run = runCtl({"write", profile});
    EXPECT_EQ(run.exitCode, 5) << run.err;
    // The first stored code in slot order (key 5's A) comes back one higher.
    auto catalogue = kx30test::freshConfiguration();
    const std::string next = catalogue->catalogue.nameOfKeyboardCode(kx30test::codeOf(*catalogue, "A") + 1);
    EXPECT_EQ(run.out.substr(run.out.find('\n') + 1),
              "Level 1 key 5 (F4): wanted Single: A, keyboard has Single: " + next + "\n");
    const std::string backup = file("keys-backup.pro");
    EXPECT_TRUE(contains(run.err, "kx30ctl write " + backup)) << run.err;
    EXPECT_TRUE(load(backup) != nullptr);
    EXPECT_EQ(runCtl({"verify", profile}).exitCode, 5);
}

TEST_F(Kx30ctl, InvalidProfilesAreRefusedBeforeTheKeyboardIsTouched) {
    start();
    ASSERT_TRUE(kx30test::writeFile(file("junk.pro"), "not a profile\n"));
    auto unstorable = kx30test::freshConfiguration();
    kx30test::setCode(*unstorable, 3, 0, KeyFunctionKind::Single, 300);
    ASSERT_TRUE(saveProfile(*unstorable, file("big.pro")).ok);
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"write", file("junk.pro")}, "not a valid profile"},
        {{"write", file("absent.pro")}, "no such file"},
        {{"write", emulator.tempDir()}, "not a regular file"},
        {{"verify", file("junk.pro")}, "not a valid profile"},
        {{"write", "--no-backup", file("big.pro")}, "level 1 key 3 does not fit"},
    };
    for (const auto& c : cases) {
        const CtlRun run = runCtl(c.args);
        EXPECT_EQ(run.exitCode, 6) << c.args[0] << " " << c.args.back();
        EXPECT_TRUE(contains(run.err, c.says)) << run.err;
    }
    EXPECT_EQ(countEvents(emulator, "keys-written"), 0);
}

TEST_F(Kx30ctl, ABackupOverTheProfileItselfIsRefused) {
    start();
    const std::string profile = sampleProfile(0, "same.pro");
    const auto before = std::filesystem::last_write_time(profile);
    for (const std::string& backup : {profile, emulator.tempDir() + "/./same.pro"}) {
        const CtlRun run = runCtl({"write", profile, "--backup", backup});
        EXPECT_EQ(run.exitCode, 2) << backup;
        EXPECT_TRUE(contains(run.err, "would replace the profile itself")) << run.err;
    }
    EXPECT_EQ(std::filesystem::last_write_time(profile), before);
    EXPECT_TRUE(compareAsKeyboardSees(*kx30test::sampleConfiguration(0), *load(profile)).matches());
    EXPECT_EQ(countEvents(emulator, "keys-written"), 0);
}

TEST_F(Kx30ctl, LightSetsTheFourAreasAndRefusesBadColours) {
    start();
    CtlRun run = runCtl({"light", "1,2,3", "4,5,6", "7,8,9", "255,255,0"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(emulator.waitForEvent("lights-written 1,2,3 4,5,6 7,8,9 255,255,0", 5s).empty());
    for (const char* bad : {"256,0,0", "1,2", "1,2,3,4", "a,b,c", "+1,0,0", " 1,2,3", "1,,3", "0x1,2,3"}) {
        run = runCtl({"light", "1,2,3", bad, "7,8,9", "0,0,0"});
        EXPECT_EQ(run.exitCode, 2) << bad;
        EXPECT_TRUE(contains(run.err, "area 2")) << run.err;
    }
    EXPECT_EQ(countEvents(emulator, "lights-written"), 1);
}

TEST_F(Kx30ctl, FlashRefusesABadImageNamingItsLineAndSendsAGoodOne) {
    start();
    ASSERT_TRUE(kx30test::writeFile(file("bad.hex"), kx30test::hexImage(5, 3)));
    CtlRun run = runCtl({"flash", file("bad.hex")});
    EXPECT_EQ(run.exitCode, 6);
    EXPECT_TRUE(contains(run.err, "bad.hex line 3: ")) << run.err;
    EXPECT_EQ(runCtl({"flash", file("absent.hex")}).exitCode, 6);

    ASSERT_TRUE(kx30test::writeFile(file("good.hex"), kx30test::hexImage(40)));
    run = runCtl({"flash", file("good.hex")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << "no progress bar without a terminal: " << run.err;
    EXPECT_TRUE(contains(run.out, "41 firmware records")) << run.out;
    EXPECT_FALSE(emulator.waitForEvent("firmware-flashed 41", 5s).empty());
    // Only the good image's lines reached the keyboard.
    EXPECT_EQ(countEvents(emulator, "firmware-line"), 41);
}

TEST_F(Kx30ctl, FlashDrawsAProgressBarOnATerminal) {
    start();
    ASSERT_TRUE(kx30test::writeFile(file("good.hex"), kx30test::hexImage(300)));
    kx30test::CtlRunOptions terminal;
    terminal.stderrOnTerminal = true;
    const CtlRun run = runCtl({"flash", file("good.hex")}, terminal);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(contains(run.err, "\rFlashing [")) << run.err;
    EXPECT_TRUE(contains(run.err, "] 100%")) << run.err;
    EXPECT_TRUE(contains(run.err, "]  50%")) << run.err;
}

TEST_F(Kx30ctl, KeyboardGoingAwayMidWriteIsAFailure) {
    // Begin report and some key records, then the keyboard is gone.
    start({"--disconnect-after", "40"});
    const CtlRun run = runCtl({"write", "--no-backup", sampleProfile(0, "a.pro")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(contains(run.err, "writing the keys failed")) << run.err;
}

// Every command that needs the keyboard, with arguments that would otherwise be fine.
std::vector<std::vector<std::string>> deviceCommands(const std::string& dir) {
    return {{"version"},
            {"read", dir + "/out.pro"},
            {"write", dir + "/good.pro"},
            {"verify", dir + "/good.pro"},
            {"light", "1,2,3", "4,5,6", "7,8,9", "0,0,0"},
            {"flash", dir + "/good.hex"}};
}

void writeGoodInputs(const std::string& dir) {
    ASSERT_TRUE(saveProfile(*kx30test::sampleConfiguration(0), dir + "/good.pro").ok);
    ASSERT_TRUE(kx30test::writeFile(dir + "/good.hex", kx30test::hexImage(4)));
}

TEST(Kx30ctlNoKeyboard, EveryDeviceCommandSaysSoWithExitCode3) {
    char dirTemplate[] = "/tmp/kx30ctl-none-XXXXXX";
    const std::string dir = ::mkdtemp(dirTemplate);
    writeGoodInputs(dir);
    ::setenv("KELVANE_X30_EMULATOR", (dir + "/nobody-listens.sock").c_str(), 1);
    if (!runCtl({"list"}).out.empty()) GTEST_SKIP() << "a real keyboard is plugged in";
    EXPECT_EQ(runCtl({"list"}).exitCode, 3);
    for (const auto& args : deviceCommands(dir)) {
        const CtlRun run = runCtl(args);
        EXPECT_EQ(run.exitCode, 3) << args[0];
        EXPECT_TRUE(contains(run.err, "no keyboard found")) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/out.pro"));
    ::unsetenv("KELVANE_X30_EMULATOR");
    std::filesystem::remove_all(dir);
}

TEST_F(Kx30ctl, PermissionProblemIsNamedWithExitCode4) {
    start();
    const std::string dir = emulator.tempDir();
    writeGoodInputs(dir);
    // The socket refuses this user: as root only a user without rights can find that out.
    ASSERT_EQ(::chmod(emulator.socketPath().c_str(), 0), 0);
    const bool root = ::geteuid() == 0;
    kx30test::CtlRunOptions options;
    options.asNobody = root;
    options.workingDirectory = "/";
    if (root) {
        // Let "nobody" reach the directory and its files, but not the socket.
        ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
        ::chmod((dir + "/good.pro").c_str(), 0644);
        ::chmod((dir + "/good.hex").c_str(), 0644);
    }
    CtlRun run = runCtl({"list"}, options);
    if (run.exitCode == 126) GTEST_SKIP() << "cannot run kx30ctl as another user here";
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(contains(run.out, emulator.socketPath() + "\tinterface 1\temulator\tpermission denied"))
        << run.out;
    for (auto args : deviceCommands(dir)) {
        if (args[0] == "read") args[1] = "/tmp/kx30ctl-never-written.pro";
        run = runCtl(args, options);
        EXPECT_EQ(run.exitCode, 4) << args[0] << ": " << run.err;
        EXPECT_TRUE(contains(run.err, "permission denied")) << run.err;
        EXPECT_TRUE(contains(run.err, emulator.socketPath())) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists("/tmp/kx30ctl-never-written.pro"));
    EXPECT_EQ(countEvents(emulator, "keys-written"), 0);
}

TEST(Kx30ctlUsage, BadCommandLinesExitWith2) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frob"},
        {"read"},
        {"read", "a.pro", "b.pro"},
        {"light", "1,2,3"},
        {"light", "-1,0,0", "1,2,3", "1,2,3", "1,2,3"},
        {"verify", "--backup", "x.pro", "p.pro"},
        {"write", "p.pro", "--backup"},
        {"write", "p.pro", "--backup", "x.pro", "--no-backup"},
        {"--bogus"},
        {"help", "frob"},
    };
    for (const auto& args : cases) {
        const CtlRun run = runCtl(args);
        EXPECT_EQ(run.exitCode, 2) << (args.empty() ? "(none)" : args[0]);
        EXPECT_TRUE(contains(run.err, "kx30ctl: ")) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
}

TEST(Kx30ctlUsage, EveryCommandHasHelpWithTheExitCodes) {
    for (const char* command : {"list", "version", "read", "write", "verify", "light", "flash"}) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"help", command}, std::vector<std::string>{command, "--help"}}) {
            const CtlRun run = runCtl(args);
            EXPECT_EQ(run.exitCode, 0) << command;
            EXPECT_EQ(run.out.rfind(std::string("Usage: kx30ctl ") + command, 0), 0u) << run.out;
            EXPECT_TRUE(contains(run.out, "  5  the keyboard does not hold")) << run.out;
        }
    }
    const CtlRun overview = runCtl({"--help"});
    EXPECT_EQ(overview.exitCode, 0);
    EXPECT_TRUE(contains(overview.out, "  flash")) << overview.out;
}

}  // namespace
