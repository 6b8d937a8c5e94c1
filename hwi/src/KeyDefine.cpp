#include "KeyDefine.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kNormalHeader = 6;
constexpr int kLongHeader = 8;

bool isByte(int v) { return v >= 0 && v <= 0xFF; }
bool isWord(int v) { return v >= 0 && v <= 0xFFFF; }

std::uint8_t low(int v) { return static_cast<std::uint8_t>(v & 0xFF); }

// Number of chunks a payload of length bytes takes when each chunk carries perChunk bytes.
int chunksFor(int length, int perChunk) { return (length + perChunk - 1) / perChunk; }

// Copies n codes, zero for any the list does not hold.
void copyCodes(const std::vector<int>& codes, int n, int* out) {
    for (int i = 0; i < n; ++i) out[i] = i < static_cast<int>(codes.size()) ? codes[i] : 0;
}

}  // namespace

CKeyDefine::~CKeyDefine() = default;

void CKeyDefine::writeHeader(std::uint8_t* chunk) const {
    chunk[0] = 0x00;
    chunk[1] = kRecordCommand;
    chunk[2] = low(level);
    chunk[3] = low(key);
    chunk[4] = low(kind);
}

std::unique_ptr<CKeyDefine> CKeyDefine::create(int kindCode, int keyNumber, int levelNumber) {
    switch (kindCode) {
    case 0: return std::make_unique<CNormalKeyDefine>(keyNumber, levelNumber);
    case 1: return std::make_unique<CContinousKeyDefine>(keyNumber, levelNumber);
    case 2: return std::make_unique<CMacroKeyDefine>(keyNumber, levelNumber);
    default: return nullptr;
    }
}

std::unique_ptr<CKeyDefine> CKeyDefine::fromConfiguration(int levelNumber, int keyNumber,
                                                         const int* values, int count) {
    const int key = keyNumber;
    const int level = levelNumber;
    if (values == nullptr || count < 1) return nullptr;
    auto allBytes = [](const int* first, int n) { return std::all_of(first, first + n, isByte); };
    switch (values[0]) {
    case 0: {
        if (count < 2) return nullptr;
        const int n = values[1];
        if (n < 0 || n > kMaxNormalCodes || count < 2 + n || !allBytes(values + 2, n))
            return nullptr;
        auto def = std::make_unique<CNormalKeyDefine>(key, level);
        def->codes.assign(values + 2, values + 2 + n);
        def->codeCount = n;
        return def;
    }
    case 1: {
        if (count < 3 || !isWord(values[1])) return nullptr;
        const int n = values[2];
        if (n < 0 || n > kMaxContinuousCodes || count < 3 + n || !allBytes(values + 3, n))
            return nullptr;
        auto def = std::make_unique<CContinousKeyDefine>(key, level);
        def->delay = values[1];
        def->codes.assign(values + 3, values + 3 + n);
        def->codeCount = n;
        return def;
    }
    case 2: {
        if (count < 4 || !isByte(values[1])) return nullptr;
        const int autoInterval = values[2];
        const int n = values[3];
        if ((autoInterval != 0 && autoInterval != 1) || n < 0) return nullptr;
        auto def = std::make_unique<CMacroKeyDefine>(key, level);
        def->cycles = values[1];
        def->timed = 1 - autoInterval;
        if (def->timed == 0) {
            if (n > kMaxMacroPayload || count < 4 + n || !allBytes(values + 4, n)) return nullptr;
            def->codes.assign(values + 4, values + 4 + n);
        } else {
            // Compared as a step count: 4 * n - 3 overflows for a huge n.
            if (n > (kMaxMacroPayload + 3) / 4) return nullptr;
            const int used = n > 0 ? 2 * n - 1 : 0;
            if (count < 4 + used) return nullptr;
            def->codes.resize(n);
            def->delays.assign(n, 0);
            for (int i = 0; i < n; ++i) {
                const int code = values[4 + 2 * i];
                if (!isByte(code)) return nullptr;
                def->codes[i] = code;
                if (i + 1 < n) {
                    const int d = values[5 + 2 * i];
                    if (!isWord(d)) return nullptr;
                    def->delays[i] = d;
                }
            }
        }
        def->stepCount = n;
        return def;
    }
    default: return nullptr;
    }
}

// Kind 0.

bool CNormalKeyDefine::serialize(std::uint8_t* buffer, int chunkSize, int* totalSize,
                                 int* headerSize) const {
    if (buffer == nullptr) {
        if (totalSize) *totalSize = chunkSize;
        if (headerSize) *headerSize = kNormalHeader;
        return false;
    }
    const int n = std::clamp(codeCount, 0, static_cast<int>(codes.size()));
    if (totalSize == nullptr || *totalSize < chunkSize || chunkSize < kNormalHeader + n)
        return false;
    std::memset(buffer, 0, static_cast<std::size_t>(*totalSize));
    writeHeader(buffer);
    buffer[5] = low(n);
    for (int i = 0; i < n; ++i) buffer[kNormalHeader + i] = low(codes[i]);
    return true;
}

bool CNormalKeyDefine::deserialize(const std::uint8_t* data, int chunkSize, int totalSize) {
    if (data == nullptr || totalSize < kNormalHeader || chunkSize < kNormalHeader) return false;
    const int n = data[5];
    if (kNormalHeader + n > std::min(chunkSize, totalSize)) return false;
    codes.assign(data + kNormalHeader, data + kNormalHeader + n);
    codeCount = n;
    return true;
}

std::unique_ptr<CKeyDefine> CNormalKeyDefine::clone() const {
    return std::make_unique<CNormalKeyDefine>(*this);
}

int CNormalKeyDefine::configurationSize() const { return 2 + std::max(codeCount, 0); }

void CNormalKeyDefine::toConfiguration(int* values) const {
    values[0] = 0;
    values[1] = std::max(codeCount, 0);
    copyCodes(codes, values[1], values + 2);
}

// Kind 1.

bool CContinousKeyDefine::serialize(std::uint8_t* buffer, int chunkSize, int* totalSize,
                                    int* headerSize) const {
    if (buffer == nullptr) {
        if (totalSize) *totalSize = chunkSize;
        if (headerSize) *headerSize = kLongHeader;
        return false;
    }
    const int n = std::min(codeCount, static_cast<int>(codes.size()));
    if (totalSize == nullptr || *totalSize < chunkSize || chunkSize < kLongHeader + std::max(n, 0))
        return false;
    std::memset(buffer, 0, static_cast<std::size_t>(*totalSize));
    writeHeader(buffer);
    if (n <= 0) return false;  // sent as a bare header: the keyboard plays nothing
    buffer[5] = low(delay >> 8);
    buffer[6] = low(delay);
    buffer[7] = low(n);
    for (int i = 0; i < n; ++i) buffer[kLongHeader + i] = low(codes[i]);
    return true;
}

bool CContinousKeyDefine::deserialize(const std::uint8_t* data, int chunkSize, int totalSize) {
    if (data == nullptr || totalSize < kLongHeader || chunkSize < kLongHeader) return false;
    const int n = data[7];
    if (kLongHeader + n > std::min(chunkSize, totalSize)) return false;
    delay = data[5] * 256 + data[6];
    codes.assign(data + kLongHeader, data + kLongHeader + n);
    codeCount = n;
    return true;
}

std::unique_ptr<CKeyDefine> CContinousKeyDefine::clone() const {
    return std::make_unique<CContinousKeyDefine>(*this);
}

int CContinousKeyDefine::configurationSize() const { return 3 + std::max(codeCount, 0); }

void CContinousKeyDefine::toConfiguration(int* values) const {
    values[0] = 1;
    values[1] = delay;
    values[2] = std::max(codeCount, 0);
    copyCodes(codes, values[2], values + 3);
}

// Kind 2.

int CMacroKeyDefine::payloadLength() const {
    if (stepCount <= 0) return 0;
    return timed == 0 ? stepCount : 4 * stepCount - 3;
}

bool CMacroKeyDefine::serialize(std::uint8_t* buffer, int chunkSize, int* totalSize,
                                int* headerSize) const {
    if (chunkSize <= kLongHeader) return false;
    const int length = payloadLength();
    const int perChunk = chunkSize - kLongHeader;
    const int needed = chunkSize * chunksFor(length, perChunk);
    if (buffer == nullptr) {
        if (totalSize) *totalSize = needed;
        if (headerSize) *headerSize = kLongHeader;
        return false;
    }
    if (totalSize == nullptr || *totalSize < needed || length > kMaxMacroPayload ||
        static_cast<int>(codes.size()) < stepCount ||
        (timed != 0 && static_cast<int>(delays.size()) < stepCount - 1))
        return false;

    std::vector<std::uint8_t> payload;
    payload.reserve(static_cast<std::size_t>(length));
    for (int i = 0; i < stepCount; ++i) {
        payload.push_back(low(codes[i]));
        if (timed != 0 && i + 1 < stepCount) {
            payload.push_back(kDelayMarker);
            payload.push_back(low(delays[i] >> 8));
            payload.push_back(low(delays[i]));
        }
    }

    std::uint8_t header[kLongHeader];
    writeHeader(header);
    header[5] = low(cycles);
    header[6] = low(timed);
    header[7] = low(length);
    std::uint8_t* out = buffer;
    for (int done = 0; done < length;) {
        const int take = std::min(perChunk, length - done);
        std::memcpy(out, header, kLongHeader);
        std::memcpy(out + kLongHeader, payload.data() + done, static_cast<std::size_t>(take));
        out += kLongHeader + take;
        done += take;
    }
    return true;
}

bool CMacroKeyDefine::deserialize(const std::uint8_t* data, int chunkSize, int totalSize) {
    if (data == nullptr || chunkSize <= kLongHeader || totalSize < kLongHeader) return false;
    const int length = data[7];
    const int perChunk = chunkSize - kLongHeader;
    std::vector<std::uint8_t> payload;
    payload.reserve(static_cast<std::size_t>(length));
    for (int chunk = 0; static_cast<int>(payload.size()) < length; ++chunk) {
        const int start = chunk * chunkSize;
        const int take = std::min(perChunk, length - static_cast<int>(payload.size()));
        if (start + kLongHeader + take > totalSize) return false;  // chunks missing
        payload.insert(payload.end(), data + start + kLongHeader, data + start + kLongHeader + take);
    }
    const int isTimed = data[6] != 0 ? 1 : 0;
    const int steps = length == 0 ? 0 : (isTimed == 0 ? length : (length - 1) / 4 + 1);
    cycles = data[5];
    timed = isTimed;
    stepCount = steps;
    codes.assign(static_cast<std::size_t>(steps), 0);
    delays.assign(isTimed == 0 ? 0 : static_cast<std::size_t>(steps), 0);
    for (int i = 0; i < steps; ++i) {
        if (isTimed == 0) {
            codes[i] = payload[i];
        } else {
            codes[i] = payload[4 * i];
            // payload[4i + 1] is the 0xC8 marker; it is not checked.
            if (i + 1 < steps) delays[i] = payload[4 * i + 2] * 256 + payload[4 * i + 3];
        }
    }
    return true;
}

std::unique_ptr<CKeyDefine> CMacroKeyDefine::clone() const {
    return std::make_unique<CMacroKeyDefine>(*this);
}

int CMacroKeyDefine::configurationSize() const {
    if (timed == 0 || stepCount <= 0) return 4 + std::max(stepCount, 0);
    // code, delay, code, ..., code
    return 4 + 2 * stepCount - 1;
}

void CMacroKeyDefine::toConfiguration(int* values) const {
    values[0] = 2;
    values[1] = cycles;
    values[2] = 1 - timed;
    const int n = std::max(stepCount, 0);
    values[3] = n;
    if (timed == 0) {
        copyCodes(codes, n, values + 4);
        return;
    }
    auto at = [](const std::vector<int>& v, int i) { return i < static_cast<int>(v.size()) ? v[i] : 0; };
    for (int i = 0; i < n; ++i) {
        values[4 + 2 * i] = at(codes, i);
        if (i + 1 < n) values[5 + 2 * i] = at(delays, i);
    }
}
