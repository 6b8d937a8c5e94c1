// Arbitrary text as a firmware image: the check never reads outside the text, and a
// download sends nothing for a refused image and, for an accepted one, exactly one report
// per record whose bytes are the record's and sum to zero.
#include <string_view>

#include "CVelaHWI.h"
#include "ScriptedKeyboard.h"
#include "HexImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const HexImageCheck check = validateHexImage(text);
    FUZZ_CHECK(check.reason() != nullptr);
    if (check.ok()) {
        FUZZ_CHECK(check.line == 0 && check.records >= 1);
    } else {
        FUZZ_CHECK(check.line >= 1 && check.records == 0);
    }

    struct Progress : IProgressSink {
        void postTransferProgress(int value) noexcept override {
            FUZZ_CHECK(value > last && value <= 150);
            last = value;
        }
        int last = 0;
    } progress;
    kx30fuzz::ScriptedKeyboard keyboard;
    const bool sent = downloadFirmware(keyboard, text, &progress);
    FUZZ_CHECK(sent == check.ok());
    if (!sent) {
        FUZZ_CHECK(keyboard.written.empty());
        return 0;
    }
    FUZZ_CHECK(static_cast<int>(keyboard.written.size()) == check.records);
    FUZZ_CHECK(progress.last == 150);
    for (const auto& report : keyboard.written) {
        FUZZ_CHECK(report[0] == 0 && report[1] == 0 && report[2] == 0x3A);
        const int count = report[3];
        FUZZ_CHECK(count + 5 <= 62);
        unsigned sum = 0;
        for (int i = 0; i < count + 5; ++i) sum += report[3 + i];
        FUZZ_CHECK((sum & 0xFF) == 0);
        for (int i = 3 + count + 5; i < kReportSize; ++i) FUZZ_CHECK(report[i] == 0);
    }
    FUZZ_CHECK(keyboard.written.back()[6] == 0x01);  // the end-of-file record goes last

    // Through the library's interface the same image (as a writable buffer) is taken too.
    CVelaHWI hwi;
    auto* device = new kx30fuzz::ScriptedKeyboard;
    hwi.attachTransport(std::unique_ptr<CKeyboardUtil>(device));
    std::vector<char> copy(text.begin(), text.end());
    FUZZ_CHECK(hwi.WriteFirmwareToKeyboard(copy.data(), static_cast<int>(copy.size()), nullptr));
    FUZZ_CHECK(device->written == keyboard.written);
    return 0;
}
