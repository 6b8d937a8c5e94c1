#pragma once
// The library's transfers as a table, for tests that run each of them under a fault, and a
// key configuration that makes the key write and read use every kind of record (macros of
// one, two and five chunks).
#include <array>
#include <string>
#include <vector>

#include "CVelaHWI.h"

namespace reliability {

enum class Transfer { WriteKeys, ReadKeys, WriteLights, ReadLights, Version, Firmware };

inline constexpr std::array kAllTransfers = {Transfer::WriteKeys, Transfer::ReadKeys,
                                             Transfer::WriteLights, Transfer::ReadLights,
                                             Transfer::Version, Transfer::Firmware};

inline const char* transferName(Transfer t) {
    switch (t) {
    case Transfer::WriteKeys: return "WriteKeys";
    case Transfer::ReadKeys: return "ReadKeys";
    case Transfer::WriteLights: return "WriteLights";
    case Transfer::ReadLights: return "ReadLights";
    case Transfer::Version: return "Version";
    case Transfer::Firmware: return "Firmware";
    }
    return "?";
}

inline bool isWrite(Transfer t) {
    return t == Transfer::WriteKeys || t == Transfer::WriteLights || t == Transfer::Firmware;
}

inline std::vector<int> timedMacro(int steps) {
    std::vector<int> v = {2, 3, 0, steps};
    for (int i = 0; i < steps; ++i) {
        v.push_back(4 + i);
        if (i + 1 < steps) v.push_back(10 * i + 1);
    }
    return v;
}

// Every kind on both levels; the rest of the slots empty.
inline void storeSample(CVelaHWI& hwi) {
    hwi.prepare();
    std::vector<std::pair<int, std::vector<int>>> slots = {
        {0, {0, 1, 0x04}},
        {1, {1, 300, 3, 0x0B, 0x08, 0x0F}},
        {2, {2, 1, 1, 5, 0x0B, 0x08, 0x0F, 0x0F, 0x12}},
        {86, timedMacro(15)},  // two chunks
        {87, timedMacro(64)},  // five chunks
        {173, {0, 2, 0xE0, 0x06}},
    };
    for (auto& [slot, values] : slots)
        hwi.setKeyConfiguration(slot / 87, slot % 87 + 1, values.data(), static_cast<int>(values.size()));
}

// A valid image of `lines` records: data lines and the end-of-file record.
inline std::string firmwareImage(int lines) {
    std::string text;
    auto hex = [](unsigned v) {
        const char* digits = "0123456789ABCDEF";
        return std::string{digits[(v >> 4) & 15], digits[v & 15]};
    };
    for (int i = 0; i + 1 < lines; ++i) {
        const unsigned address = static_cast<unsigned>(i) * 16;
        unsigned sum = 16 + (address >> 8) + (address & 0xFF);
        std::string line = ":10" + hex(address >> 8) + hex(address) + "00";
        for (unsigned b = 0; b < 16; ++b) {
            line += hex(b + static_cast<unsigned>(i));
            sum += b + static_cast<unsigned>(i);
        }
        text += line + hex((0x100 - (sum & 0xFF)) & 0xFF) + "\r\n";
    }
    return text + ":00000001FF\r\n";
}

// Runs one transfer on an open object; its result.
inline bool runTransfer(CVelaHWI& hwi, Transfer t) {
    switch (t) {
    case Transfer::WriteKeys: storeSample(hwi); return hwi.writeKeyConfigurationToDev(nullptr);
    case Transfer::ReadKeys: return hwi.readKeyDefinationFromDev(nullptr);
    case Transfer::WriteLights: {
        int values[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        return hwi.setKeyboardLightArea(values);
    }
    case Transfer::ReadLights: return hwi.readKeyLightFromDev();
    case Transfer::Version: {
        wchar_t text[64] = {};
        return hwi.ReadKeyboardVersion(text);
    }
    case Transfer::Firmware: {
        std::string image = firmwareImage(12);
        return hwi.WriteFirmwareToKeyboard(image.data(), static_cast<int>(image.size()), nullptr);
    }
    }
    return false;
}

}  // namespace reliability
