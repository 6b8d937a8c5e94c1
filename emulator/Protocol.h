#pragma once
// The keyboard's side of the report protocol: report framing, the command bytes, the key
// record header and the slot numbering. Everything here is written from the protocol
// tables; the emulator shares no code with the library on purpose, so that a round trip
// through it checks both sides.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kx30emu {

// One report on the wire: byte 0 is the report id (always 0), bytes 1..64 the payload.
inline constexpr std::size_t kReportSize = 65;
inline constexpr std::size_t kPayloadSize = 64;
using Report = std::array<std::uint8_t, kReportSize>;

inline constexpr int kKeysPerLevel = 87;
inline constexpr int kSlotCount = 2 * kKeysPerLevel;
inline constexpr std::size_t kLightByteCount = 12;
// The version answer carries its text in payload bytes 2..63.
inline constexpr std::size_t kVersionTextMax = 62;

// Payload byte 1 of every report.
enum class Command : std::uint8_t {
    KeyRecord = 0xF0,
    BeginKeyWrite = 0xF1,
    KeyRequest = 0xF2,
    EndKeyData = 0xF6,
    LightData = 0xE0,
    BeginLightWrite = 0xE1,
    LightRequest = 0xE2,
    EndLightData = 0xE6,
    VersionRequest = 0xF9,
    FirmwareLine = 0x3A,
};

// Offsets within one 64-byte key record chunk (payload offsets).
namespace record {
inline constexpr std::size_t kCommand = 1;
inline constexpr std::size_t kLevel = 2;
inline constexpr std::size_t kKey = 3;
inline constexpr std::size_t kKind = 4;
// kind 0: code count at 5, codes from 6
inline constexpr std::size_t kNormalCount = 5;
inline constexpr std::size_t kNormalCodes = 6;
// kinds 1 and 2: count (kind 1) or payload length L (kind 2) at 7, codes/payload from 8
inline constexpr std::size_t kCount = 7;
inline constexpr std::size_t kHeaderSize = 8;
inline constexpr std::size_t kChunkPayload = kPayloadSize - kHeaderSize;  // 56
inline constexpr std::uint8_t kNormal = 0;
inline constexpr std::uint8_t kContinuous = 1;
inline constexpr std::uint8_t kMacro = 2;
}  // namespace record

// A stored key record: one or more 64-byte chunks, exactly as they travel.
using Record = std::vector<std::uint8_t>;

constexpr bool isValidSlot(int level, int key) {
    return (level == 1 || level == 2) && key >= 1 && key <= kKeysPerLevel;
}
constexpr int slotIndex(int level, int key) { return (level - 1) * kKeysPerLevel + (key - 1); }
constexpr int slotLevel(int slot) { return slot / kKeysPerLevel + 1; }
constexpr int slotKey(int slot) { return slot % kKeysPerLevel + 1; }

// Number of 64-byte chunks a record with this header needs: a macro whose payload length L
// exceeds 56 continues in ceil(L / 56) chunks, everything else is one chunk.
constexpr std::size_t chunksFor(std::uint8_t kind, std::uint8_t length) {
    if (kind == record::kMacro && length > record::kChunkPayload)
        return (length + record::kChunkPayload - 1) / record::kChunkPayload;
    return 1;
}

inline std::uint8_t payloadByte(const Report& r, std::size_t i) { return r[i + 1]; }
inline Command commandOf(const Report& r) { return static_cast<Command>(r[2]); }

// A report 00 | 00 CMD then zeros.
Report commandReport(Command c);
// A report whose 64 payload bytes are all `fill`.
Report filledReport(std::uint8_t fill);
// A report carrying one 64-byte chunk as its payload.
Report chunkReport(const std::uint8_t* chunk);

// The record of an empty slot: a normal definition with no codes.
Record emptyRecord(int slot);

// Checks that bytes form a whole key record for the slot: 64 bytes per chunk, command
// 0xF0, level and key of the slot, kind 0..2, as many chunks as the header asks for and the
// same header in each. Empty string when sound, else what is wrong.
std::string checkRecord(const Record& bytes, int slot);

// One line of the report for a person watching a transfer, e.g. "key record L1 K5 kind 0".
std::string describe(const Report& r, bool fromHost);
// "00 F0 01 ..." for the whole report.
std::string hex(const std::uint8_t* bytes, std::size_t n);

}  // namespace kx30emu
