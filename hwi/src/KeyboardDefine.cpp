#include "KeyboardDefine.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "KeyboardUtil.h"

namespace {

constexpr std::uint8_t kBeginKeys = 0xF1;
constexpr std::uint8_t kEndKeys = 0xF6;
constexpr std::uint8_t kRequestKeys = 0xF2;
constexpr std::uint8_t kBeginLights = 0xE1;
constexpr std::uint8_t kLightData = 0xE0;
constexpr std::uint8_t kEndLights = 0xE6;
constexpr std::uint8_t kRequestLights = 0xE2;

// A read gives up when this many reports arrive without the end of data: a keyboard that
// chatters for ever must not keep the caller waiting for ever. A full answer is at most
// 174 slots of at most 5 chunks each.
constexpr int kMaxReportsPerRead = 4096;

using Report = std::array<std::uint8_t, kReportSize>;

bool writeCommand(CKeyboardUtil& transport, std::uint8_t command) {
    Report report{};
    report[2] = command;
    return transport.writeReport(report.data(), kReportSize);
}

bool readPayload(CKeyboardUtil& transport, std::uint8_t* payload, int timeoutMs) {
    int length = kPayloadSize;
    return transport.readReport(payload, &length, timeoutMs);
}

}  // namespace

CKeyboardDefine::~CKeyboardDefine() = default;

CKelvaneX30::CKelvaneX30(CKeyboardUtil* transport_) : transport(transport_) {}

CKelvaneX30::~CKelvaneX30() = default;

int CKelvaneX30::slotIndex(int level, int key) {
    if (level < 1 || level > kLevels || key < 1 || key > kKeys) return -1;
    return (level - 1) * kKeys + (key - 1);
}

void CKelvaneX30::clear() {
    for (auto& slot : slots) slot.reset();
    lightBytes.fill(0);
}

void CKelvaneX30::copyContents(const CKelvaneX30& other) {
    if (&other == this) return;
    for (int i = 0; i < kSlots; ++i) slots[i] = other.slots[i] ? other.slots[i]->clone() : nullptr;
    lightBytes = other.lightBytes;
}

bool CKelvaneX30::writeKeys(IProgressSink* progress) {
    if (transport == nullptr) return false;
    // One report buffer for the whole write: the end report keeps the last payload byte of
    // the report before it, as the keyboard has always received it.
    Report report{};
    report[2] = kBeginKeys;
    if (!transport->writeReport(report.data(), kReportSize)) return false;

    std::vector<std::uint8_t> record;
    for (int index = 0; index < kSlots; ++index) {
        const int level = index / kKeys + 1;
        const int key = index % kKeys + 1;
        if (const CKeyDefine* def = slots[index].get()) {
            int total = 0;
            def->serialize(nullptr, kPayloadSize, &total, nullptr);
            record.assign(static_cast<std::size_t>(std::max(total, 0)), 0);
            if (total > 0) def->serialize(record.data(), kPayloadSize, &total, nullptr);
            for (int offset = 0; offset + kPayloadSize <= total; offset += kPayloadSize) {
                std::memcpy(report.data() + 1, record.data() + offset, kPayloadSize);
                if (!transport->writeReport(report.data(), kReportSize)) return false;
            }
        } else {
            report.fill(0);
            report[2] = CKeyDefine::kRecordCommand;
            report[3] = static_cast<std::uint8_t>(level);
            report[4] = static_cast<std::uint8_t>(key);
            if (!transport->writeReport(report.data(), kReportSize)) return false;
        }
        if (progress) progress->postTransferProgress(index);
    }
    report[0] = 0;
    std::memset(report.data() + 1, kEndKeys, kPayloadSize - 1);
    return transport->writeReport(report.data(), kReportSize) && transport->waitUntilTaken();
}

bool CKelvaneX30::readKeys(IProgressSink* progress, int timeoutMs) {
    if (transport == nullptr) return false;
    if (!writeCommand(*transport, kRequestKeys)) return false;

    std::uint8_t payload[kPayloadSize];
    std::vector<std::uint8_t> record;
    for (int reports = 0; reports < kMaxReportsPerRead; ++reports) {
        if (!readPayload(*transport, payload, timeoutMs)) return false;
        if (payload[0] == kEndKeys) return true;
        if (payload[1] != CKeyDefine::kRecordCommand) continue;  // not ours: pass over

        const int level = payload[2];
        const int key = payload[3];
        const int kind = payload[4];
        const int index = slotIndex(level, key);
        if (index < 0) continue;  // no such slot

        record.assign(payload, payload + kPayloadSize);
        if (kind == 2 && payload[7] > kPayloadSize - 8) {
            const int chunks = (payload[7] + kPayloadSize - 9) / (kPayloadSize - 8);
            // Further chunks carry the same header. Stray reports and records for slots that
            // cannot exist are passed over between them; anything else means the record was
            // cut short.
            for (int got = 1; got < chunks;) {
                if (++reports >= kMaxReportsPerRead) return false;
                if (!readPayload(*transport, payload, timeoutMs)) return false;
                if (payload[0] == kEndKeys) return false;
                if (payload[1] != CKeyDefine::kRecordCommand) continue;
                if (slotIndex(payload[2], payload[3]) < 0) continue;
                if (!std::equal(payload, payload + 8, record.begin())) return false;
                record.insert(record.end(), payload, payload + kPayloadSize);
                ++got;
            }
        }

        auto def = CKeyDefine::create(kind, key, level);
        if (!def) {
            slots[index].reset();  // unknown kind: the slot has no definition we know
            if (progress) progress->postTransferProgress(index);
            continue;
        }
        if (!def->deserialize(record.data(), kPayloadSize, static_cast<int>(record.size())))
            continue;  // counts that do not fit the record: keep what the slot held
        slots[index] = std::move(def);
        if (progress) progress->postTransferProgress(index);
    }
    return false;
}

bool CKelvaneX30::writeLights() {
    if (transport == nullptr) return false;
    if (!writeCommand(*transport, kBeginLights)) return false;
    Report report{};
    report[2] = kLightData;
    std::copy(lightBytes.begin(), lightBytes.end(), report.begin() + 3);
    if (!transport->writeReport(report.data(), kReportSize)) return false;
    report.fill(kEndLights);
    report[0] = 0;
    return transport->writeReport(report.data(), kReportSize) && transport->waitUntilTaken();
}

bool CKelvaneX30::readLights(int timeoutMs) {
    if (transport == nullptr) return false;
    if (!writeCommand(*transport, kRequestLights)) return false;
    std::uint8_t payload[kPayloadSize];
    for (int reports = 0; reports < kMaxReportsPerRead; ++reports) {
        if (!readPayload(*transport, payload, timeoutMs)) return false;
        if (payload[1] == kEndLights) return true;
        if (payload[1] == kLightData) std::copy_n(payload + 2, kLightBytes, lightBytes.begin());
    }
    return false;
}
