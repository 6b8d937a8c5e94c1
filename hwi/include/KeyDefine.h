#pragma once
// One key's definition on one level, and the key record it travels in.
//
// A record is one 64-byte chunk (a macro may span several, each repeating the 8-byte header):
//   byte 0 = 0x00, byte 1 = 0xF0, byte 2 = level, byte 3 = key, byte 4 = kind, then
//   kind 0: [5] count, codes from [6]            (at most 58 codes)
//   kind 1: [5..6] delay big-endian, [7] count, codes from [8]   (at most 56 codes)
//   kind 2: [5] cycles, [6] timed, [7] payload length L, payload from [8] (L <= 255)
// A timed macro payload is code, 0xC8, delay high, delay low for every step but the last,
// which is its code alone.

#include <cstdint>
#include <memory>
#include <vector>

#include "KelvaneX30Export.h"

class KX30_API CKeyDefine {
public:
    static constexpr int kChunkSize = 64;
    static constexpr int kMaxNormalCodes = 58;
    static constexpr int kMaxContinuousCodes = 56;
    static constexpr int kMaxMacroPayload = 255;
    static constexpr std::uint8_t kRecordCommand = 0xF0;
    static constexpr std::uint8_t kDelayMarker = 0xC8;

    CKeyDefine(int keyNumber, int levelNumber, int kindCode)
        : key(keyNumber), level(levelNumber), kind(kindCode) {}
    virtual ~CKeyDefine();

    // Sizing call (buffer null): stores the bytes the record needs into *totalSize and the
    // header length into *headerSize (either may be null) and returns false.
    // Filling call: buffer holds *totalSize bytes; writes the record and returns true. It
    // refuses (false, nothing written) when totalSize is null or smaller than the record,
    // so it never writes past the buffer. A continuous definition without codes writes
    // only bytes 0..4 and returns false.
    virtual bool serialize(std::uint8_t* buffer, int chunkSize, int* totalSize,
                           int* headerSize) const = 0;
    // Rebuilds the fields (not key and level) from totalSize bytes at data, one or more
    // chunks of chunkSize bytes. False, with the definition unchanged, when the record's
    // counts do not fit the bytes given.
    virtual bool deserialize(const std::uint8_t* data, int chunkSize, int totalSize) = 0;

    // A deep copy of this definition.
    virtual std::unique_ptr<CKeyDefine> clone() const = 0;

    // The number of ints its configuration array takes, and the array itself (see
    // CVelaHWI::getKeyConfiguration). toConfiguration writes exactly configurationSize()
    // ints.
    virtual int configurationSize() const = 0;
    virtual void toConfiguration(int* values) const = 0;

    // Builds a definition from a configuration array of count ints. Null when the array is
    // malformed or the definition does not fit a key record: unknown kind, an array shorter
    // than its own counts say, a negative count, too many codes, a code outside 0..255, a
    // delay outside 0..65535, cycles outside 0..255, an autoInterval other than 0 or 1.
    static std::unique_ptr<CKeyDefine> fromConfiguration(int levelNumber, int keyNumber,
                                                         const int* values, int count);
    // An empty definition of the given kind (0, 1 or 2), null for any other kind.
    static std::unique_ptr<CKeyDefine> create(int kindCode, int keyNumber, int levelNumber);

    int key;    // 1..87
    int level;  // 1 or 2
    int kind;   // 0 normal, 1 continuous, 2 macro

protected:
    CKeyDefine(const CKeyDefine&) = default;
    CKeyDefine& operator=(const CKeyDefine&) = default;
    void writeHeader(std::uint8_t* chunk) const;
};

// A single key code or a combination sent together.
class KX30_API CNormalKeyDefine final : public CKeyDefine {
public:
    CNormalKeyDefine(int keyNumber, int levelNumber) : CKeyDefine(keyNumber, levelNumber, 0) {}
    bool serialize(std::uint8_t* buffer, int chunkSize, int* totalSize,
                   int* headerSize) const override;
    bool deserialize(const std::uint8_t* data, int chunkSize, int totalSize) override;
    std::unique_ptr<CKeyDefine> clone() const override;
    int configurationSize() const override;
    void toConfiguration(int* values) const override;

    std::vector<int> codes;  // each 0..255
    int codeCount = 0;
};

// A sequence of key codes played one after the other with a fixed pause.
class KX30_API CContinousKeyDefine final : public CKeyDefine {
public:
    CContinousKeyDefine(int keyNumber, int levelNumber) : CKeyDefine(keyNumber, levelNumber, 1) {}
    bool serialize(std::uint8_t* buffer, int chunkSize, int* totalSize,
                   int* headerSize) const override;
    bool deserialize(const std::uint8_t* data, int chunkSize, int totalSize) override;
    std::unique_ptr<CKeyDefine> clone() const override;
    int configurationSize() const override;
    void toConfiguration(int* values) const override;

    int delay = 0;  // 0..65535
    std::vector<int> codes;
    int codeCount = 0;
};

// A macro; when timed, delays[i] is the pause after codes[i] for every step but the last.
class KX30_API CMacroKeyDefine final : public CKeyDefine {
public:
    CMacroKeyDefine(int keyNumber, int levelNumber) : CKeyDefine(keyNumber, levelNumber, 2) {}
    bool serialize(std::uint8_t* buffer, int chunkSize, int* totalSize,
                   int* headerSize) const override;
    bool deserialize(const std::uint8_t* data, int chunkSize, int totalSize) override;
    std::unique_ptr<CKeyDefine> clone() const override;
    int configurationSize() const override;
    void toConfiguration(int* values) const override;

    // Payload length in bytes: stepCount untimed, 4 * stepCount - 3 timed, 0 without steps.
    int payloadLength() const;

    int timed = 0;   // 1: delays stored, 0: none
    int cycles = 0;  // 0..255
    std::vector<int> delays;  // stepCount entries when timed; the last has no meaning
    std::vector<int> codes;
    int stepCount = 0;
};
