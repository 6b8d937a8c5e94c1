#pragma once
// Test helper: the real kx30-emulator as a child process on a private socket.
//
//   kx30test::EmulatorProcess emu;
//   ASSERT_TRUE(emu.start({.args = {"--stray"}})) << emu.error();
//   ... use the library or a RawClient on emu.socketPath() ...
//   EXPECT_FALSE(emu.waitForEvent("keys-written", 5s).empty());
//
// start() makes a fresh temp dir, runs the emulator there with --socket <dir>/kx30.sock
// (and --state <dir>/state with useStateFile), waits for its "ready" line and sets
// KELVANE_X30_EMULATOR to the socket path for this process (the old value comes back in the
// destructor). Every wait has a timeout; nothing here can hang a test. The destructor kills
// the emulator and removes the temp dir. The child also dies with the test process.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx30test {

class EmulatorProcess {
public:
    struct Options {
        std::vector<std::string> args;     // extra command-line options
        bool useStateFile = false;         // pass --state <tempdir>/state
        std::chrono::milliseconds readyTimeout{10000};
    };

    EmulatorProcess();
    ~EmulatorProcess();
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    // Starts the emulator and waits for "ready". False with error() set when it could not
    // start, exited, or did not get ready in time (it is killed then).
    bool start(Options options);
    bool start();
    // SIGTERM, then SIGKILL when it has not exited within timeout. True when it exited on
    // its own after SIGTERM (or had exited before). Keeps the temp dir and state file.
    bool stop(std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));
    // stop(), then start() again with the same options, socket path and state file.
    bool restart();

    // Waits for the child to exit by itself (e.g. after --disconnect-after). Its exit code,
    // or nullopt on timeout or when it was killed by a signal.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);

    // The next event line (after those already returned) that starts with prefix, waiting
    // up to timeout for it; lines passed over on the way stay in events(). Empty string on
    // timeout or when the emulator's output ended.
    std::string waitForEvent(std::string_view prefix, std::chrono::milliseconds timeout);
    // Every line the current emulator process printed so far (reads what is pending).
    const std::vector<std::string>& events();

    bool running() const { return pid_ > 0; }
    const std::string& error() const { return error_; }
    const std::string& socketPath() const { return socketPath_; }
    const std::string& stateFile() const { return stateFile_; }
    const std::string& tempDir() const { return dir_; }
    // The emulator binary the tests run.
    static std::string binaryPath();

private:
    bool spawn();
    // Reads what the child printed, waiting at most until deadline for a complete line.
    // False when the output ended.
    bool readLines(std::chrono::steady_clock::time_point deadline);
    void reap(bool block);
    void killNow();

    Options options_;
    std::string dir_;
    std::string socketPath_;
    std::string stateFile_;
    std::string error_;
    pid_t pid_ = -1;
    int out_ = -1;  // reads the file the child's stdout goes to
    int spawnCount_ = 0;
    std::string partial_;
    std::vector<std::string> lines_;
    std::size_t cursor_ = 0;
    std::optional<int> exitCode_;
    std::optional<std::string> oldEnv_;
    bool envSet_ = false;
};

}  // namespace kx30test
