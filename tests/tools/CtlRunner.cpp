#include "CtlRunner.h"

#include <fcntl.h>
#include <grp.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace kx30test {

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Drains the terminal's master side into text until the child closes its end.
void drain(int fd, std::string& text) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace

std::string ctlBinaryPath() { return KX30CTL_PATH; }

CtlRun runCtl(const std::vector<std::string>& args, const CtlRunOptions& options) {
    CtlRun run;
    char dirTemplate[] = "/tmp/kx30ctl-run-XXXXXX";
    const char* dir = ::mkdtemp(dirTemplate);
    if (!dir) return run;
    const std::string outPath = std::string(dir) + "/out";
    const std::string errPath = std::string(dir) + "/err";

    int master = -1;
    int slave = -1;
    if (options.stderrOnTerminal && ::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        ::rmdir(dir);
        return run;
    }

    std::vector<std::string> argvStrings{ctlBinaryPath()};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : argvStrings) argv.push_back(s.data());
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = options.stderrOnTerminal ? slave
                                                 : ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0) ::_exit(126);
        ::dup2(in, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        if (master >= 0) ::close(master);
        if (!options.workingDirectory.empty() && ::chdir(options.workingDirectory.c_str()) != 0)
            ::_exit(126);
        if (options.asNobody && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 ||
                                 ::setuid(65534) != 0))
            ::_exit(126);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (slave >= 0) ::close(slave);
    std::thread reader;
    if (master >= 0) reader = std::thread([&] { drain(master, run.err); });

    int status = 0;
    bool exited = false;
    const auto deadline = std::chrono::steady_clock::now() + options.timeout;
    while (pid > 0) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            exited = true;
            break;
        }
        if (done < 0 || std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (reader.joinable()) reader.join();
    if (master >= 0) ::close(master);
    if (exited && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    run.out = readAll(outPath);
    if (!options.stderrOnTerminal) run.err = readAll(errPath);
    ::unlink(outPath.c_str());
    ::unlink(errPath.c_str());
    ::rmdir(dir);
    return run;
}

std::string hexImage(int dataLines, int badChecksumAt) {
    std::string text;
    char part[16];
    for (int i = 0; i < dataLines; ++i) {
        const unsigned address = unsigned(i * 16) & 0xFFFF;
        unsigned sum = 0x10 + (address >> 8) + (address & 0xFF);
        std::snprintf(part, sizeof part, ":10%04X00", address);
        std::string record = part;
        for (unsigned b = 0; b < 16; ++b) {
            const unsigned value = (unsigned(i) + b) & 0xFF;
            sum += value;
            std::snprintf(part, sizeof part, "%02X", value);
            record += part;
        }
        unsigned checksum = (0x100 - (sum & 0xFF)) & 0xFF;
        if (i + 1 == badChecksumAt) checksum = (checksum + 1) & 0xFF;
        std::snprintf(part, sizeof part, "%02X\r\n", checksum);
        text += record + part;
    }
    return text + ":00000001FF\r\n";
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

}  // namespace kx30test
