// Transfers against the real emulator process.
//
// Wall time is what the user waits for; CPU time is the benchmark thread's own work (a
// write blocked by a paced keyboard costs no CPU), so cpu_us_per_report is our overhead.
// Run: kx30-bench-transfer --benchmark_format=json
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <ctime>
#include <vector>

#include "CVelaHWI.h"
#include "KeyboardUtil.h"

namespace {

// The emulator as a child process on a private socket; its output goes to a file so that
// a full pipe can never stall it.
class Emulator {
public:
    bool start(const std::vector<std::string>& extra) {
        char dir[] = "/tmp/kx30-bench-XXXXXX";
        if (!mkdtemp(dir)) return false;
        dir_ = dir;
        socket_ = dir_ + "/kx30.sock";
        const std::string out = dir_ + "/out";
        std::vector<std::string> args = {KX30_EMULATOR_PATH, "--socket", socket_};
        args.insert(args.end(), extra.begin(), extra.end());
        pid_ = fork();
        if (pid_ == 0) {
            const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(fd, 1);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 2);
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            std::ifstream f(out);
            std::stringstream s;
            s << f.rdbuf();
            if (s.str().find("ready ") != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    ~Emulator() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (!dir_.empty()) {
            std::remove((dir_ + "/out").c_str());
            std::remove(socket_.c_str());
            rmdir(dir_.c_str());
        }
    }
    std::unique_ptr<CVelaHWI> connect() const {
        auto hwi = std::make_unique<CVelaHWI>();
        hwi->attachTransport(
            std::make_unique<CKelvaneX30Util>(std::string(kEmulatorPathPrefix) + socket_));
        return hwi;
    }
    const std::string& socket() const { return socket_; }

private:
    pid_t pid_ = -1;
    std::string dir_;
    std::string socket_;
};

Emulator* plain = nullptr;
Emulator* paced = nullptr;

// Every slot filled: a mix of all kinds, 176 reports in all (one macro of two chunks, one
// macro without steps).
void fill(CVelaHWI& hwi) {
    hwi.prepare();
    for (int slot = 0; slot < 174; ++slot) {
        std::vector<int> a;
        switch (slot % 3) {
        case 0: a = {0, 2, 0xE0, 0x04}; break;
        case 1: a = {1, 300, 3, 0x0B, 0x08, 0x0F}; break;
        default: a = {2, 1, 0, 3, 0x0A, 100, 0x0B, 200, 0x0C}; break;
        }
        if (slot == 10) {
            a = {2, 1, 0, 15};
            for (int i = 0; i < 15; ++i) {
                a.push_back(4 + i);
                if (i < 14) a.push_back(20);
            }
        }
        if (slot == 11) a = {2, 1, 1, 0};
        hwi.setKeyConfiguration(slot / 87, slot % 87 + 1, a.data(), static_cast<int>(a.size()));
    }
}

// The benchmark thread's CPU time, in microseconds.
double threadCpuUs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) * 1e-3;
}

// Wraps a benchmark loop: reports per iteration and our own CPU time per report.
class PerReport {
public:
    PerReport(benchmark::State& state, double reports) : state_(state), reports_(reports) {}
    void begin() { start_ = threadCpuUs(); }
    ~PerReport() {
        const double used = threadCpuUs() - start_;
        const double total = reports_ * static_cast<double>(state_.iterations());
        state_.counters["reports"] = reports_;
        state_.counters["cpu_us_per_report"] = total > 0 ? used / total : 0;
        state_.SetItemsProcessed(static_cast<std::int64_t>(total));
    }
    PerReport(const PerReport&) = delete;
    PerReport& operator=(const PerReport&) = delete;

private:
    benchmark::State& state_;
    double reports_;
    double start_ = 0;
};

// One report written: a light-write begin, which the keyboard takes silently.
void BM_WriteReport(benchmark::State& state) {
    CKelvaneX30Util util(std::string(kEmulatorPathPrefix) + plain->socket());
    std::array<std::uint8_t, kReportSize> report{};
    report[2] = 0xE1;
    PerReport perReport(state, 1);
    perReport.begin();
    for (auto _ : state) {
        if (!util.writeReport(report.data(), kReportSize)) state.SkipWithError("write failed");
    }
}

// One report read: the version query, a request and its single answer.
void BM_VersionRoundTrip(benchmark::State& state) {
    auto hwi = plain->connect();
    wchar_t text[64];
    PerReport perReport(state, 2);
    perReport.begin();
    for (auto _ : state) {
        if (!hwi->ReadKeyboardVersion(text)) state.SkipWithError("no answer");
    }
}

void BM_WriteKeys(benchmark::State& state) {
    auto hwi = (state.range(0) ? paced : plain)->connect();
    fill(*hwi);
    PerReport perReport(state, 176);
    perReport.begin();
    for (auto _ : state) {
        if (!hwi->writeKeyConfigurationToDev(nullptr)) state.SkipWithError("write failed");
    }
    if (state.range(0)) {
        // A paced keyboard takes one report per millisecond.
        state.counters["limit_ms"] = 1.05 * 176 + 20;
    }
}

void BM_ReadKeys(benchmark::State& state) {
    auto writer = plain->connect();
    fill(*writer);
    writer->writeKeyConfigurationToDev(nullptr);
    auto hwi = plain->connect();
    PerReport perReport(state, 1 + 175 + 1);  // request, 175 records and chunks, end
    perReport.begin();
    for (auto _ : state) {
        if (!hwi->readKeyDefinationFromDev(nullptr)) state.SkipWithError("read failed");
    }
}

void BM_FirmwareDownload(benchmark::State& state) {
    auto hwi = plain->connect();
    std::string image;
    for (int i = 0; i < 4095; ++i) image += ":10000000000102030405060708090A0B0C0D0E0F78\r\n";
    image += ":00000001FF\r\n";
    PerReport perReport(state, 4096);
    perReport.begin();
    for (auto _ : state) {
        if (!hwi->WriteFirmwareToKeyboard(image.data(), static_cast<int>(image.size()), nullptr))
            state.SkipWithError("download failed");
    }
}

BENCHMARK(BM_WriteReport)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VersionRoundTrip)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteKeys)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirmwareDownload)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteKeys)->Name("BM_WriteKeys/usb-pacing")->Arg(1)->Iterations(10)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Emulator emulator;
    Emulator pacedEmulator;
    if (!emulator.start({}) || !pacedEmulator.start({"--usb-pacing"})) {
        std::fprintf(stderr, "kx30-bench-transfer: the emulator did not start\n");
        return 1;
    }
    plain = &emulator;
    paced = &pacedEmulator;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
