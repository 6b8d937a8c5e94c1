#pragma once
// Invariants over a whole key store, shared by the key fuzz targets: every slot reads back
// as a configuration array that the store takes again unchanged, and what a write sends
// reads back as the same configuration.
#include <vector>

#include "CVelaHWI.h"
#include "ScriptedKeyboard.h"

namespace kx30fuzz {

inline constexpr int kConfigCapacity = 512;

// The length of a configuration array by its own counts (kind, then the kind's fields).
inline std::size_t configurationLength(const int* v) {
    switch (v[0]) {
    case 0: return 2 + static_cast<std::size_t>(v[1]);
    case 1: return 3 + static_cast<std::size_t>(v[2]);
    default:
        // Macro: codes alone with automatic intervals, else code, delay, ..., code.
        if (v[2] == 1 || v[3] == 0) return 4 + static_cast<std::size_t>(v[3]);
        return 4 + 2 * static_cast<std::size_t>(v[3]) - 1;
    }
}

// The configuration array of slot index (level * 87 + key - 1).
inline std::vector<int> slotArray(CVelaHWI& hwi, int index) {
    static int values[kConfigCapacity];
    FUZZ_CHECK(hwi.getKeyConfiguration(index / 87, index % 87 + 1, values, kConfigCapacity));
    FUZZ_CHECK(values[0] >= 0 && values[0] <= 2);
    const std::size_t length = configurationLength(values);
    FUZZ_CHECK(length <= kConfigCapacity);
    return std::vector<int>(values, values + length);
}

// The configuration arrays of all 174 slots, level 1 first.
inline std::vector<std::vector<int>> snapshot(CVelaHWI& hwi) {
    std::vector<std::vector<int>> all;
    for (int i = 0; i < 174; ++i) all.push_back(slotArray(hwi, i));
    return all;
}

// A macro without steps is not sent at all, and a continuous definition without codes goes
// out as a bare header: both read back as a slot without codes.
inline bool sameOnTheWire(const std::vector<int>& sent, const std::vector<int>& read) {
    if (sent == read) return true;
    const bool sentEmpty = (sent.size() >= 4 && sent[0] == 2 && sent[3] == 0) ||
                           (sent.size() >= 3 && sent[0] == 1 && sent[2] == 0);
    if (!sentEmpty) return false;
    if (sent[0] == 2) return read == std::vector<int>{0, 0};
    return read.size() == 3 && read[0] == 1 && read[2] == 0;
}

// Stores every array of `store` into a fresh object, writes it to a recording keyboard,
// reads that back into a third object and checks all three agree.
inline void checkWriteReadsBack(const std::vector<std::vector<int>>& store) {
    CVelaHWI writer;
    auto* sink = new ScriptedKeyboard;
    writer.attachTransport(std::unique_ptr<CKeyboardUtil>(sink));
    for (int i = 0; i < 174; ++i) {
        std::vector<int> values = store[i];
        FUZZ_CHECK(writer.setKeyConfiguration(i / 87, i % 87 + 1, values.data(),
                                              static_cast<int>(values.size())));
    }
    FUZZ_CHECK(snapshot(writer) == store);
    FUZZ_CHECK(writer.writeKeyConfigurationToDev(nullptr));

    CVelaHWI reader;
    auto* source = new ScriptedKeyboard;
    sink->written.erase(sink->written.begin());  // the begin report is the host's, not an answer
    source->written = sink->written;
    source->queueWritten();
    source->written.clear();
    reader.attachTransport(std::unique_ptr<CKeyboardUtil>(source));
    reader.prepare();
    FUZZ_CHECK(reader.readKeyDefinationFromDev(nullptr));
    const auto back = snapshot(reader);
    for (int i = 0; i < 174; ++i) FUZZ_CHECK(sameOnTheWire(store[i], back[i]));
}

}  // namespace kx30fuzz
