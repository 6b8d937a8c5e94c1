// Arbitrary configuration arrays offered to the store for every slot: the store refuses
// or takes each one, and what it takes reads back unchanged and survives a write and a
// read back through the keyboard's records.
#include <cstring>

#include "CVelaHWI.h"
#include "ScriptedKeyboard.h"
#include "KeyStoreChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CVelaHWI hwi;
    hwi.attachTransport(std::make_unique<kx30fuzz::ScriptedKeyboard>());
    hwi.prepare();
    // Input: records of [slot byte][count byte][count ints, little-endian].
    std::size_t at = 0;
    while (at + 2 <= size) {
        const int slot = data[at] % 174;
        const int count = data[at + 1];
        at += 2;
        std::vector<int> values(static_cast<std::size_t>(count), 0);
        for (int i = 0; i < count && at + 4 <= size; ++i, at += 4)
            std::memcpy(&values[static_cast<std::size_t>(i)], data + at, 4);
        // Small values make the interesting arrays; the full int range is kept for the rest.
        for (int& v : values)
            if ((v & 0x40000000) == 0) v &= 0x1FF;
        const auto before = kx30fuzz::slotArray(hwi, slot);
        const bool taken = hwi.setKeyConfiguration(slot / 87, slot % 87 + 1,
                                                   values.empty() ? nullptr : values.data(), count);
        const auto stored = kx30fuzz::slotArray(hwi, slot);
        if (!taken) {
            FUZZ_CHECK(stored == before);  // a refusal leaves the slot unchanged
        } else {
            FUZZ_CHECK(stored.size() <= values.size());
            FUZZ_CHECK(std::equal(stored.begin(), stored.end(), values.begin()));
        }
    }
    kx30fuzz::checkWriteReadsBack(kx30fuzz::snapshot(hwi));
    return 0;
}
