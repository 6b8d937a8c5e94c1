#include "TransferJobs.h"

#include <algorithm>
#include <array>
#include <thread>
#include <vector>

#include "KeyArrays.h"

namespace {

// The progress value that fills the bar.
constexpr int kFullProgress = 150;
// How often a wait looks at the cancel flag.
constexpr std::chrono::milliseconds kCancelPoll{10};

bool cancelled(const JobOptions& options) {
    return options.cancel && options.cancel->load(std::memory_order_relaxed);
}

// Waits `duration` unless cancelled meanwhile. False when cancelled.
bool settle(std::chrono::milliseconds duration, const JobOptions& options) {
    const auto end = std::chrono::steady_clock::now() + duration;
    while (!cancelled(options)) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) return true;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(end - now, kCancelPoll));
    }
    return false;
}

JobResult finish(KeyboardConfiguration& configuration, JobResult result) {
    if (configuration.transferWindow)
        configuration.transferWindow->postTransferFinished(static_cast<int>(result.status));
    return result;
}

JobResult status(JobStatus s, int level = -1, int key = 0) { return JobResult{s, level, key}; }

}  // namespace

JobResult writeKeySettings(KeyboardConfiguration& configuration, const JobOptions& options) {
    CVelaHWI& device = configuration.device;
    if (cancelled(options)) return finish(configuration, status(JobStatus::Cancelled));
    if (!device.prepare()) return finish(configuration, status(JobStatus::PrepareFailed));

    for (int level = 0; level < kLevels; ++level) {
        for (int key = 1; key < kKeyRows; ++key) {
            if (cancelled(options)) return finish(configuration, status(JobStatus::Cancelled));
            std::vector<int> array = configurationArrayOf(configuration, key, level);
            if (array.empty()) continue;  // not set: the slot stays empty
            if (!device.setKeyConfiguration(level, key, array.data(), static_cast<int>(array.size())))
                return finish(configuration, status(JobStatus::KeyRefused, level, key));
        }
    }
    if (cancelled(options)) return finish(configuration, status(JobStatus::Cancelled));
    if (!device.writeKeyConfigurationToDev(configuration.transferWindow))
        return finish(configuration, status(JobStatus::KeyWriteFailed));
    // The records are sent; a cancel now only shortens the pause.
    settle(options.keySettle, options);
    return finish(configuration, status(JobStatus::Ok));
}

JobResult readConfiguration(KeyboardConfiguration& configuration, const JobOptions& options) {
    CVelaHWI& device = configuration.device;
    if (cancelled(options)) return finish(configuration, status(JobStatus::Cancelled));
    if (!device.readKeyDefinationFromDev(configuration.transferWindow))
        return finish(configuration, status(JobStatus::KeyReadFailed));

    // Every slot is read before anything is stored, so a failure leaves the configuration as
    // it was.
    std::vector<KeySettingUpdate> updates;
    updates.reserve(std::size_t(kLevels) * (kKeyRows - 1));
    std::vector<int> array(kConfigurationArrayCapacity);
    for (int level = 0; level < kLevels; ++level) {
        for (int key = 1; key < kKeyRows; ++key) {
            if (cancelled(options)) return finish(configuration, status(JobStatus::Cancelled));
            std::fill(array.begin(), array.end(), 0);
            if (!device.getKeyConfiguration(level, key, array.data(), kConfigurationArrayCapacity))
                return finish(configuration, status(JobStatus::KeyReadFailed, level, key));
            updates.push_back(settingFromConfigurationArray(configuration.catalogue, array));
        }
    }
    std::size_t next = 0;
    for (int level = 0; level < kLevels; ++level)
        for (int key = 1; key < kKeyRows; ++key) applySetting(configuration, key, level, updates[next++]);

    if (!settle(options.keySettle, options)) return finish(configuration, status(JobStatus::Cancelled));

    std::array<int, KeyboardConfiguration::kAreaValueCount> light{};
    if (!device.readKeyLightFromDev() || !device.getKeyboardLightArea(light.data()))
        return finish(configuration, status(JobStatus::LightReadFailed));
    std::copy(light.begin(), light.end(),
              configuration.backlight.begin() + KeyboardConfiguration::kFirstAreaValue);
    return finish(configuration, status(JobStatus::Ok));
}

JobResult writeBacklightAreas(KeyboardConfiguration& configuration, const JobOptions& options) {
    if (cancelled(options)) return finish(configuration, status(JobStatus::Cancelled));
    std::array<int, KeyboardConfiguration::kAreaValueCount> light{};
    std::copy_n(configuration.backlight.begin() + KeyboardConfiguration::kFirstAreaValue,
                light.size(), light.begin());
    const bool sent = configuration.device.setKeyboardLightArea(light.data());
    if (configuration.transferWindow) {
        configuration.transferWindow->postTransferProgress(kFullProgress);
        settle(options.lightSettle, options);
    }
    return finish(configuration, status(sent ? JobStatus::Ok : JobStatus::LightWriteFailed));
}
