#include "EmulatorProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#ifndef KX30_EMULATOR_PATH
#error "KX30_EMULATOR_PATH must name the kx30-emulator binary"
#endif

namespace kx30test {

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kEnvName = "KELVANE_X30_EMULATOR";

}  // namespace

std::string EmulatorProcess::binaryPath() { return KX30_EMULATOR_PATH; }

EmulatorProcess::EmulatorProcess() = default;

EmulatorProcess::~EmulatorProcess() {
    killNow();
    if (envSet_) {
        if (oldEnv_)
            ::setenv(kEnvName, oldEnv_->c_str(), 1);
        else
            ::unsetenv(kEnvName);
    }
    if (!dir_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
}

bool EmulatorProcess::start() { return start(Options{}); }

bool EmulatorProcess::start(Options options) {
    if (running()) {
        error_ = "already running";
        return false;
    }
    options_ = std::move(options);
    if (dir_.empty()) {
        std::string base = (std::filesystem::temp_directory_path() / "kx30-emu-XXXXXX").string();
        if (!::mkdtemp(base.data())) {
            error_ = std::string("mkdtemp: ") + std::strerror(errno);
            return false;
        }
        dir_ = base;
        socketPath_ = dir_ + "/kx30.sock";
        stateFile_ = dir_ + "/state";
    }
    return spawn();
}

bool EmulatorProcess::spawn() {
    std::vector<std::string> args{binaryPath(), "--socket", socketPath_};
    if (options_.useStateFile) {
        args.push_back("--state");
        args.push_back(stateFile_);
    }
    args.insert(args.end(), options_.args.begin(), options_.args.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    // The child's output goes to a file, not a pipe: a test that does not read the events
    // of a long transfer (thousands of firmware lines) must not stall the emulator.
    const std::string outPath = dir_ + "/events-" + std::to_string(++spawnCount_) + ".log";
    const int outFd = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int inFd = outFd < 0 ? -1 : ::open(outPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (outFd < 0 || inFd < 0) {
        error_ = std::string("open ") + outPath + ": " + std::strerror(errno);
        if (outFd >= 0) ::close(outFd);
        return false;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        error_ = std::string("fork: ") + std::strerror(errno);
        ::close(outFd);
        ::close(inFd);
        return false;
    }
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(127);
        ::dup2(outFd, STDOUT_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(outFd);
    pid_ = pid;
    out_ = inFd;
    partial_.clear();
    lines_.clear();
    cursor_ = 0;
    exitCode_.reset();

    const std::string line = waitForEvent("ready ", options_.readyTimeout);
    if (line.empty()) {
        error_ = "the emulator (" + binaryPath() + ") did not print 'ready' within " +
                 std::to_string(options_.readyTimeout.count()) + " ms";
        killNow();
        if (exitCode_) error_ += "; it exited with " + std::to_string(*exitCode_);
        return false;
    }
    if (!envSet_) {
        if (const char* old = std::getenv(kEnvName)) oldEnv_ = old;
        envSet_ = true;
    }
    ::setenv(kEnvName, socketPath_.c_str(), 1);
    return true;
}

bool EmulatorProcess::readLines(Clock::time_point deadline) {
    if (out_ < 0) return false;
    for (;;) {
        char buf[4096];
        const ssize_t n = ::read(out_, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n > 0) {
            partial_.append(buf, static_cast<std::size_t>(n));
            bool gotLine = false;
            for (std::size_t nl; (nl = partial_.find('\n')) != std::string::npos;) {
                lines_.push_back(partial_.substr(0, nl));
                partial_.erase(0, nl + 1);
                gotLine = true;
            }
            if (gotLine) return true;
            continue;
        }
        // At the end of what was written so far: the output has ended once the child is gone.
        if (pid_ > 0) reap(false);
        if (pid_ <= 0) {
            const ssize_t rest = ::read(out_, buf, sizeof buf);
            if (rest > 0) {
                partial_.append(buf, static_cast<std::size_t>(rest));
                continue;
            }
            ::close(out_);
            out_ = -1;
            if (!partial_.empty()) lines_.push_back(std::move(partial_));
            partial_.clear();
            return false;
        }
        if (Clock::now() >= deadline) return true;  // nothing more for now
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

std::string EmulatorProcess::waitForEvent(std::string_view prefix, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        for (; cursor_ < lines_.size(); ++cursor_) {
            if (lines_[cursor_].starts_with(prefix)) return lines_[cursor_++];
        }
        if (Clock::now() >= deadline) return {};
        if (!readLines(deadline) && cursor_ >= lines_.size()) return {};
    }
}

const std::vector<std::string>& EmulatorProcess::events() {
    while (out_ >= 0) {
        const std::size_t before = lines_.size();
        if (!readLines(Clock::now()) || lines_.size() == before) break;
    }
    return lines_;
}

void EmulatorProcess::reap(bool block) {
    if (pid_ <= 0) return;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == pid_ || (r < 0 && errno == ECHILD)) {
        if (r == pid_ && WIFEXITED(status)) exitCode_ = WEXITSTATUS(status);
        pid_ = -1;
    }
}

std::optional<int> EmulatorProcess::waitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        reap(false);
        if (pid_ <= 0) return exitCode_;
        if (Clock::now() >= deadline) return std::nullopt;
        // Keep draining its output so a full pipe cannot stall it.
        readLines(std::min(deadline, Clock::now() + std::chrono::milliseconds(10)));
    }
}

bool EmulatorProcess::stop(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) return true;
    ::kill(pid_, SIGTERM);
    if (waitForExit(timeout).has_value()) return true;
    const bool exited = pid_ <= 0;
    killNow();
    return exited;
}

void EmulatorProcess::killNow() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        reap(true);
    }
    if (out_ >= 0) {
        // Keep what it printed last, for a test that looks at it after the stop.
        readLines(Clock::now());
        if (out_ >= 0) ::close(out_);
        out_ = -1;
    }
}

bool EmulatorProcess::restart() {
    stop();
    killNow();
    return spawn();
}

}  // namespace kx30test
