#pragma once
// The keyboard model: the store of 174 key definitions (both levels) and the 12 light
// bytes, and the transfers that move them between the store and the keyboard.

#include <array>
#include <cstdint>
#include <memory>

#include "HwiSinks.h"
#include "KelvaneX30Export.h"
#include "KeyDefine.h"

class CKeyboardUtil;

class KX30_API CKeyboardDefine {
public:
    virtual ~CKeyboardDefine();
    // The USB product and vendor ids as the four hex digits of a device path.
    virtual const wchar_t* getPid() const = 0;
    virtual const wchar_t* getVid() const = 0;
};

class KX30_API CKelvaneX30 final : public CKeyboardDefine {
public:
    static constexpr int kKeys = 87;
    static constexpr int kLevels = 2;
    static constexpr int kSlots = kKeys * kLevels;
    static constexpr int kLightBytes = 12;

    // transport is not owned; all transfers go through it. May be null (no transfers).
    explicit CKelvaneX30(CKeyboardUtil* transport);
    ~CKelvaneX30() override;
    CKelvaneX30(const CKelvaneX30&) = delete;
    CKelvaneX30& operator=(const CKelvaneX30&) = delete;

    const wchar_t* getPid() const override { return L"5018"; }
    const wchar_t* getVid() const override { return L"0483"; }

    // (level - 1) * 87 + (key - 1) for level 1..2 and key 1..87, else -1.
    static int slotIndex(int level, int key);

    // Empties every slot and zeroes the light bytes.
    void clear();
    // Deep copy of other's definitions and light bytes; the transport stays.
    void copyContents(const CKelvaneX30& other);

    // Sends begin report, one record per slot (a multi-chunk macro as several reports, a
    // macro without steps as none, an empty slot as a normal record without codes) and the
    // end report. Progress: the slot index after each slot. False at the first failed write.
    bool writeKeys(IProgressSink* progress);
    // Requests the keys and rebuilds every slot the keyboard sends a record for; slots it
    // does not report keep their content. Records with an impossible level or key, or whose
    // counts do not fit, are passed over; a record of unknown kind empties its slot. True
    // when the end of key data arrived; false when a write failed, a read timed out or
    // failed, a macro's further chunks did not arrive, or too many reports came without
    // an end. Every wait is bounded by timeoutMs.
    bool readKeys(IProgressSink* progress, int timeoutMs);
    // Sends begin light write, light data, end of light data. False when any write failed.
    bool writeLights();
    // Requests the lights; true when the end of light data arrived.
    bool readLights(int timeoutMs);

    CKeyboardUtil* transport;
    std::array<std::unique_ptr<CKeyDefine>, kSlots> slots;
    std::array<std::uint8_t, kLightBytes> lightBytes{};
};
