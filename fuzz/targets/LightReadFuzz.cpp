// A hostile keyboard answers the light request and then the version request with
// arbitrary reports. Both reads end, the light bytes change only from a light data report,
// and the version text always ends within its 63 characters.
#include <cwchar>

#include "CVelaHWI.h"
#include "ScriptedKeyboard.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte splits the answers between the two requests.
    const std::size_t lightReports = data[0];
    ++data;
    --size;
    const std::size_t lightBytes = std::min(size, lightReports * kPayloadSize);

    CVelaHWI hwi;
    auto* keyboard = new kx30fuzz::ScriptedKeyboard;
    keyboard->queueBytes(data, lightBytes);
    hwi.attachTransport(std::unique_ptr<CKeyboardUtil>(keyboard));
    hwi.setReadTimeout(1);
    hwi.prepare();
    const bool lightsRead = hwi.readKeyLightFromDev();
    bool sawLightData = false;
    for (std::size_t i = 0; i < keyboard->next; ++i) sawLightData |= keyboard->answers[i][1] == 0xE0;
    int lights[87];
    std::fill(std::begin(lights), std::end(lights), -1);
    FUZZ_CHECK(hwi.getKeyLight(0, lights));
    for (int i = 0; i < 12; ++i) FUZZ_CHECK(lights[i] >= 0 && lights[i] <= 255);
    for (int i = 12; i < 87; ++i) FUZZ_CHECK(lights[i] == 0);
    if (!sawLightData) FUZZ_CHECK(std::all_of(lights, lights + 12, [](int v) { return v == 0; }));
    (void)lightsRead;

    // The version answer: whatever is left.
    keyboard->answers.clear();
    keyboard->next = 0;
    keyboard->queueBytes(data + lightBytes, size - lightBytes);
    wchar_t text[64];
    std::wmemset(text, L'#', 64);
    if (hwi.ReadKeyboardVersion(text)) {
        FUZZ_CHECK(std::wmemchr(text, L'\0', 63) != nullptr);
    } else {
        FUZZ_CHECK(text[0] == L'#');  // unchanged on failure
    }
    wchar_t* own = hwi.getHardwareVersion();
    FUZZ_CHECK(std::wmemchr(own, L'\0', 64) != nullptr);
    return 0;
}
