#include "HexImage.h"

#include <array>
#include <cstdint>

#include "KeyboardUtil.h"

namespace {

constexpr int kMaxRecordBytes = kPayloadSize - 2;  // payload 2..63
constexpr std::uint8_t kFirmwareLine = 0x3A;

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Walks the lines of a text; a line ends at CR LF, CR or LF.
class LineReader {
public:
    explicit LineReader(std::string_view text) : rest(text) {}
    bool next(std::string_view& line) {
        if (rest.empty()) return false;
        const auto end = rest.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            line = rest;
            rest = {};
            return true;
        }
        line = rest.substr(0, end);
        std::size_t skip = end + 1;
        if (rest[end] == '\r' && skip < rest.size() && rest[skip] == '\n') ++skip;
        rest.remove_prefix(skip);
        return true;
    }

private:
    std::string_view rest;
};

// Decodes one record line; out receives the bytes. Error::None when the record is sound.
HexError decodeRecord(std::string_view line, std::array<std::uint8_t, 300>& out, int& count) {
    if (line.empty() || line[0] != ':') return HexError::MissingColon;
    const std::string_view digits = line.substr(1);
    for (char c : digits)
        if (hexValue(c) < 0) return HexError::BadDigit;
    if (digits.size() % 2 != 0) return HexError::OddDigitCount;
    const std::size_t bytes = digits.size() / 2;
    if (bytes < 5) return HexError::TooShort;
    if (bytes > out.size()) return HexError::LengthMismatch;
    unsigned sum = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        out[i] = static_cast<std::uint8_t>(hexValue(digits[2 * i]) * 16 + hexValue(digits[2 * i + 1]));
        sum += out[i];
    }
    count = static_cast<int>(bytes);
    if (static_cast<std::size_t>(out[0]) + 5 != bytes) return HexError::LengthMismatch;
    if ((sum & 0xFF) != 0) return HexError::BadChecksum;
    if (out[3] > 0x05) return HexError::BadRecordType;
    if (count > kMaxRecordBytes) return HexError::RecordTooLong;
    return HexError::None;
}

std::string_view untilZero(std::string_view text) {
    const auto zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

}  // namespace

const char* HexImageCheck::reason() const {
    switch (error) {
    case HexError::None: return "ok";
    case HexError::Empty: return "the image holds no record";
    case HexError::MissingColon: return "the line does not start with ':'";
    case HexError::BadDigit: return "a character is not a hexadecimal digit";
    case HexError::OddDigitCount: return "odd number of hexadecimal digits";
    case HexError::TooShort: return "the record is shorter than its fixed fields";
    case HexError::LengthMismatch: return "the byte count does not match the line's length";
    case HexError::BadChecksum: return "wrong checksum";
    case HexError::BadRecordType: return "record type outside 00 to 05";
    case HexError::RecordTooLong: return "the record is longer than the 62 bytes a report carries";
    case HexError::MissingEndOfFile: return "no end-of-file record";
    case HexError::DataAfterEndOfFile: return "data after the end-of-file record";
    }
    return "unknown";
}

HexImageCheck validateHexImage(std::string_view text) {
    text = untilZero(text);
    LineReader lines(text);
    std::string_view line;
    std::array<std::uint8_t, 300> bytes{};
    int number = 0;
    int records = 0;
    bool ended = false;
    while (lines.next(line)) {
        ++number;
        if (ended) {
            if (!line.empty()) return {HexError::DataAfterEndOfFile, number, 0};
            continue;
        }
        int count = 0;
        if (const HexError e = decodeRecord(line, bytes, count); e != HexError::None)
            return {e, number, 0};
        ++records;
        if (bytes[3] == 0x01) ended = true;
    }
    if (records == 0) return {HexError::Empty, 1, 0};
    if (!ended) return {HexError::MissingEndOfFile, number + 1, 0};
    return {HexError::None, 0, records};
}

bool downloadFirmware(CKeyboardUtil& transport, std::string_view text, IProgressSink* progress) {
    text = untilZero(text);
    const HexImageCheck check = validateHexImage(text);
    if (!check.ok()) return false;

    LineReader lines(text);
    std::string_view line;
    std::array<std::uint8_t, 300> bytes{};
    int sent = 0;
    int lastPosted = 0;
    while (sent < check.records && lines.next(line)) {
        int count = 0;
        decodeRecord(line, bytes, count);
        std::array<std::uint8_t, kReportSize> report{};
        report[2] = kFirmwareLine;
        for (int i = 0; i < count && i < kMaxRecordBytes; ++i) report[3 + i] = bytes[i];
        if (!transport.writeReport(report.data(), kReportSize)) return false;
        ++sent;
        const int value = 150 * sent / check.records;
        if (value > lastPosted) {
            lastPosted = value;
            if (progress) progress->postTransferProgress(value);
        }
    }
    return transport.waitUntilTaken();
}
