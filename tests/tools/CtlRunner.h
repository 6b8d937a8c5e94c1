#pragma once
// Runs the real kx30ctl as a child process and collects its exit code and output. Every run
// has a time limit: a kx30ctl that hangs is killed and the run reports it.

#include <chrono>
#include <string>
#include <vector>

namespace kx30test {

struct CtlRun {
    int exitCode = -1;  // -1 when it did not exit by itself in time (or died of a signal)
    std::string out;
    std::string err;
};

struct CtlRunOptions {
    std::chrono::milliseconds timeout{20000};
    // Run as the unprivileged user "nobody" (uid/gid 65534); only possible when the tests
    // run as root.
    bool asNobody = false;
    // stderr goes to a pseudo-terminal (to see what a person at a terminal sees).
    bool stderrOnTerminal = false;
    std::string workingDirectory;  // empty: the test's own
};

CtlRun runCtl(const std::vector<std::string>& args, const CtlRunOptions& options = {});

// The kx30ctl binary the tests run.
std::string ctlBinaryPath();

// A valid Intel HEX image of `dataLines` 16-byte records and the end-of-file record, CR LF
// line ends; with badChecksumAt = n the n-th line carries a wrong checksum.
std::string hexImage(int dataLines, int badChecksumAt = 0);

// Writes text to path; false when it could not.
bool writeFile(const std::string& path, const std::string& text);

}  // namespace kx30test
