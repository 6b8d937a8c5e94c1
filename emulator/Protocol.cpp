#include "Protocol.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kx30emu {

Report commandReport(Command c) {
    Report r{};
    r[2] = static_cast<std::uint8_t>(c);
    return r;
}

Report filledReport(std::uint8_t fill) {
    Report r{};
    std::fill(r.begin() + 1, r.end(), fill);
    return r;
}

Report chunkReport(const std::uint8_t* chunk) {
    Report r{};
    std::memcpy(r.data() + 1, chunk, kPayloadSize);
    return r;
}

Record emptyRecord(int slot) {
    Record r(kPayloadSize, 0);
    r[record::kCommand] = static_cast<std::uint8_t>(Command::KeyRecord);
    r[record::kLevel] = static_cast<std::uint8_t>(slotLevel(slot));
    r[record::kKey] = static_cast<std::uint8_t>(slotKey(slot));
    return r;
}

std::string checkRecord(const Record& bytes, int slot) {
    if (bytes.empty() || bytes.size() % kPayloadSize != 0)
        return "size " + std::to_string(bytes.size()) + " is not a multiple of 64";
    if (bytes[record::kCommand] != static_cast<std::uint8_t>(Command::KeyRecord))
        return "not a key record";
    if (bytes[record::kLevel] != slotLevel(slot) || bytes[record::kKey] != slotKey(slot))
        return "level/key do not match slot " + std::to_string(slot);
    const std::uint8_t kind = bytes[record::kKind];
    if (kind > record::kMacro) return "kind " + std::to_string(kind);
    const std::size_t chunks = chunksFor(kind, bytes[record::kCount]);
    if (bytes.size() != chunks * kPayloadSize)
        return std::to_string(bytes.size() / kPayloadSize) + " chunks where the header asks for " +
               std::to_string(chunks);
    for (std::size_t c = 1; c < chunks; ++c) {
        if (!std::equal(bytes.begin(), bytes.begin() + record::kHeaderSize,
                        bytes.begin() + static_cast<std::ptrdiff_t>(c * kPayloadSize)))
            return "chunk " + std::to_string(c) + " repeats another header";
    }
    return {};
}

std::string hex(const std::uint8_t* bytes, std::size_t n) {
    std::string out;
    out.reserve(n * 3);
    char buf[4];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", bytes[i]);
        if (i) out += ' ';
        out += buf;
    }
    return out;
}

std::string describe(const Report& r, bool fromHost) {
    const auto p = [&](std::size_t i) { return static_cast<int>(payloadByte(r, i)); };
    char buf[160];
    if (p(0) == 0xF6) return "end of key data";
    switch (commandOf(r)) {
    case Command::KeyRecord:
        if (p(4) == record::kNormal)
            std::snprintf(buf, sizeof buf, "key record L%d K%d normal, %d codes", p(2), p(3), p(5));
        else if (p(4) == record::kContinuous)
            std::snprintf(buf, sizeof buf, "key record L%d K%d continuous, delay %d, %d codes",
                          p(2), p(3), p(5) * 256 + p(6), p(7));
        else if (p(4) == record::kMacro)
            std::snprintf(buf, sizeof buf, "key record L%d K%d macro, cycles %d, timed %d, L=%d",
                          p(2), p(3), p(5), p(6), p(7));
        else
            std::snprintf(buf, sizeof buf, "key record L%d K%d unknown kind %d", p(2), p(3), p(4));
        return buf;
    case Command::BeginKeyWrite: return "begin key write";
    case Command::KeyRequest: return "key request";
    case Command::EndKeyData: return "end of key data";
    case Command::LightData:
        std::snprintf(buf, sizeof buf, "light data %d,%d,%d %d,%d,%d %d,%d,%d %d,%d,%d", p(2),
                      p(3), p(4), p(5), p(6), p(7), p(8), p(9), p(10), p(11), p(12), p(13));
        return buf;
    case Command::BeginLightWrite: return "begin light write";
    case Command::LightRequest: return "light request";
    case Command::EndLightData: return "end of light data";
    case Command::VersionRequest:
        if (fromHost) return "version request";
        return "version \"" +
               std::string(reinterpret_cast<const char*>(r.data() + 3),
                           strnlen(reinterpret_cast<const char*>(r.data() + 3), kVersionTextMax)) +
               "\"";
    case Command::FirmwareLine:
        std::snprintf(buf, sizeof buf, "firmware line: %d bytes at %04X, type %02X", p(2),
                      p(3) * 256 + p(4), p(5));
        return buf;
    }
    std::snprintf(buf, sizeof buf, "other report (payload %02X %02X)", p(0), p(1));
    return buf;
}

}  // namespace kx30emu
