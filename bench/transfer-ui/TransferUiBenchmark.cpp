// WriteKeys, ReadAll and a 4,096-line firmware update as the user starts them: the progress
// or firmware window on the offscreen platform, the job on the worker thread, a USB-paced
// emulator process as the keyboard (one report per millisecond each way).
//
// The jobs' fixed pauses (2 s after a key transfer, 1 s after the lights) are set to zero, so
// the wall time is the transfer itself plus our overhead. usb_floor_ms is the number of
// reports on the wire at one per millisecond; goal_ms is 1.05 x that + 20 ms.
// Run: QT_QPA_PLATFORM=offscreen kx30-bench-transfer-ui --benchmark_format=json
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <memory>

#include "CVelaDialogFirmwareUpdate.h"
#include "EmulatorProcess.h"
#include "FakeShellServices.h"
#include "KeyboardConfiguration.h"
#include "SkinResources.h"
#include "TransferCommands.h"
#include "TransferRunner.h"

using namespace std::chrono_literals;

namespace {

constexpr TransferWaits kNoWaits{0ms, 0ms};

struct Bench {
    kx30test::EmulatorProcess emulator;
    std::unique_ptr<KeyboardConfiguration> configuration;
    std::unique_ptr<TransferRunner> runner;
    std::unique_ptr<SkinResources> skin;
    FakeShellServices fakes = makeFakeShellServices();

    bool start(bool paced) {
        if (!emulator.start({.args = paced ? std::vector<std::string>{"--usb-pacing"} : std::vector<std::string>{}}))
            return false;
        configuration = std::make_unique<KeyboardConfiguration>();
        configuration->buildKeyCatalogue();
        configuration->clearConfiguration();
        if (!configuration->device.__createDev())
            return false;
        runner = std::make_unique<TransferRunner>(*configuration);
        skin = std::make_unique<SkinResources>();
        return true;
    }
};
Bench* bench = nullptr;
// The same keyboard without pacing: what our side costs when the wire is free.
Bench* unpaced = nullptr;

void report(benchmark::State& state, double floorMs, double totalMs) {
    const double iterations = static_cast<double>(state.iterations());
    state.counters["usb_floor_ms"] = floorMs;
    state.counters["goal_ms"] = 1.05 * floorMs + 20;
    state.counters["wall_ms"] = iterations > 0 ? totalMs / iterations : 0;
}

// 174 key records between a begin and an end report.
void BM_WriteKeys(benchmark::State& state) {
    double total = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        if (!runWriteKeysCommand(nullptr, *bench->configuration, *bench->skin, bench->fakes.services, *bench->runner,
                                 kNoWaits))
            state.SkipWithError("write failed");
        total += static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
    report(state, 176, total);
}
BENCHMARK(BM_WriteKeys)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// The key request, 174 records and the end from the keyboard, then the light request, the
// light data and its end.
void BM_ReadAll(benchmark::State& state) {
    double total = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        if (!runReadAllCommand(nullptr, *bench->configuration, *bench->skin, bench->fakes.services, *bench->runner,
                               kNoWaits))
            state.SkipWithError("read failed");
        total += static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
    report(state, 1 + 175 + 1 + 2, total);
}
BENCHMARK(BM_ReadAll)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

std::string hexImage(int dataLines) {
    std::string text;
    char line[64];
    for (int i = 0; i < dataLines; ++i) {
        const int address = (i * 16) & 0xFFFF;
        unsigned sum = 0x10 + unsigned(address >> 8) + unsigned(address & 0xFF);
        std::snprintf(line, sizeof line, ":10%04X00", address);
        std::string record = line;
        for (int b = 0; b < 16; ++b) {
            sum += unsigned(b);
            std::snprintf(line, sizeof line, "%02X", b);
            record += line;
        }
        std::snprintf(line, sizeof line, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
        text += record + line;
    }
    return text + ":00000001FF\r\n";
}

// One report per line: 4,095 data records and the end-of-file record.
void firmwareUpdate(benchmark::State& state, Bench* keyboard) {
    const std::string path = keyboard->emulator.tempDir() + "/fw.hex";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        const std::string text = hexImage(4095);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    double total = 0;
    double flashed = 0;
    for (auto _ : state) {
        CVelaDialogFirmwareUpdate dialog(*keyboard->configuration, *keyboard->skin, keyboard->fakes.services, *keyboard->runner);
        keyboard->fakes.fileDialogs->queueAnswer(QString::fromStdString(path));
        dialog.openFile();
        QElapsedTimer clock;
        clock.start();
        dialog.startUpdate();
        // Sleeps until the next posted event; the timer only bounds the wait.
        QTimer wakeUp;
        wakeUp.start(100);
        // The emulator prints a line per firmware line; reading them keeps its output pipe from
        // filling up and stalling it.
        while (dialog.downloading() && clock.elapsed() < 30000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            keyboard->emulator.events();
        }
        total += static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (dialog.downloading())
            state.SkipWithError("download did not end");
        // The host is done once its last write returned; the keyboard, when it has taken the
        // last line out of the socket buffer.
        const std::string flash = keyboard->emulator.waitForEvent("firmware-f", 30s);
        if (flash.rfind("firmware-flashed", 0) != 0) {
            std::fprintf(stderr, "keyboard: %s; window: %s\n", flash.c_str(),
                         keyboard->fakes.messageBoxes->texts().empty()
                             ? ""
                             : keyboard->fakes.messageBoxes->texts().back().toStdString().c_str());
            state.SkipWithError("the keyboard did not flash");
        }
        flashed += static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
    report(state, 4096, total);
    state.counters["keyboard_done_ms"] = state.iterations() > 0 ? flashed / static_cast<double>(state.iterations()) : 0;
}
void BM_FirmwareUpdate4096(benchmark::State& state) { firmwareUpdate(state, bench); }
void BM_FirmwareUpdate4096Unpaced(benchmark::State& state) { firmwareUpdate(state, unpaced); }
BENCHMARK(BM_FirmwareUpdate4096)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FirmwareUpdate4096Unpaced)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    Bench b;
    Bench u;
    if (!b.start(true) || !u.start(false)) {
        std::fprintf(stderr, "emulator: %s %s\n", b.emulator.error().c_str(), u.emulator.error().c_str());
        return 1;
    }
    bench = &b;
    unpaced = &u;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench = nullptr;
    unpaced = nullptr;
    return 0;
}
