// Start-up to the first painted frame, and peak memory, of the main window as the program
// builds it: each iteration spawns a fresh process against the emulator. Needs an X display
// (run under scripts/with-xvfb). Manual time is the probe's own spawn-to-first-frame figure.

#include "EmulatorProcess.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct ProbeResult {
    bool ok = false;
    double seconds = 0;
    double peakKb = 0;
};

ProbeResult runProbe() {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    const std::string path = KX30_STARTUP_PROBE;
    const std::string now = std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    char* argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>(now.c_str()), nullptr};
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    ProbeResult result;
    if (spawned == 0) {
        FILE* out = ::fdopen(pipeFds[0], "r");
        long long ns = 0;
        long kb = 0;
        if (out && std::fscanf(out, "first-frame-ns %lld vmhwm-kb %ld", &ns, &kb) == 2)
            result = {true, double(ns) / 1e9, double(kb)};
        if (out)
            std::fclose(out);
        ::waitpid(pid, nullptr, 0);
    } else {
        ::close(pipeFds[0]);
    }
    return result;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void BM_StartupToFirstFrame(benchmark::State& state) {
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("needs an X display: run under scripts/with-xvfb");
        return;
    }
    kx30test::EmulatorProcess emulator;
    if (!emulator.start()) {
        state.SkipWithError(emulator.error().c_str());
        return;
    }
    double peak = 0;
    std::vector<double> times;
    std::vector<double> peaks;
    for (auto _ : state) {
        const ProbeResult r = runProbe();
        if (!r.ok) {
            state.SkipWithError("the probe did not paint a frame");
            return;
        }
        state.SetIterationTime(r.seconds);
        peak = std::max(peak, r.peakKb);
        times.push_back(r.seconds);
        peaks.push_back(r.peakKb);
    }
    // The mean hides how the runs spread: one slow spawn (page cache, a busy core) moves it
    // far more than the median.
    state.counters["VmHWM_MB"] = peak / 1024.0;
    state.counters["median_ms"] = median(times) * 1e3;
    state.counters["max_ms"] = *std::max_element(times.begin(), times.end()) * 1e3;
    state.counters["median_VmHWM_MB"] = median(peaks) / 1024.0;
}
BENCHMARK(BM_StartupToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
