#include "Faults.h"

namespace kx30emu {

namespace {

Report keyRecordReport(int level, int key, std::uint8_t kind) {
    Report r = commandReport(Command::KeyRecord);
    r[1 + record::kLevel] = static_cast<std::uint8_t>(level);
    r[1 + record::kKey] = static_cast<std::uint8_t>(key);
    r[1 + record::kKind] = kind;
    r[1 + record::kNormalCount] = 1;
    r[1 + record::kNormalCodes] = 0x04;
    return r;
}

bool isEnd(const Report& r) { return r[1] == static_cast<std::uint8_t>(Command::EndKeyData); }

// Offset (in the report) of the first code of a key record chunk, or 0 when it has none.
std::size_t firstCodeOffset(const Report& r) {
    const std::uint8_t* p = r.data() + 1;
    switch (p[record::kKind]) {
    case record::kNormal: return p[record::kNormalCount] ? 1 + record::kNormalCodes : 0;
    case record::kContinuous:
    case record::kMacro: return p[record::kCount] ? 1 + record::kHeaderSize : 0;
    default: return 0;
    }
}

void malformKeys(Malformed mode, std::vector<Report>& answer) {
    switch (mode) {
    case Malformed::None: return;
    case Malformed::BadSlot: {
        // One before the first record, one in the middle, one just before the end report.
        answer.insert(answer.end() - 1, keyRecordReport(1, 88, 0));
        answer.insert(answer.begin() + static_cast<std::ptrdiff_t>(answer.size() / 2),
                      keyRecordReport(1, 0, 0));
        answer.insert(answer.begin(), keyRecordReport(3, 1, 0));
        return;
    }
    case Malformed::TruncatedMacro: {
        Report first = keyRecordReport(1, 1, record::kMacro);
        first[1 + record::kNormalCount] = 1;  // cycles
        first[1 + 6] = 0;                     // untimed
        first[1 + record::kCount] = 100;      // L = 100: two chunks
        for (std::size_t i = 0; i < record::kChunkPayload; ++i)
            first[1 + record::kHeaderSize + i] = static_cast<std::uint8_t>(4 + i);
        answer.assign(1, first);
        return;
    }
    case Malformed::BadKind:
        answer.front()[1 + record::kKind] = 7;
        return;
    case Malformed::CorruptKey:
        for (Report& r : answer) {
            if (isEnd(r)) break;
            if (const std::size_t at = firstCodeOffset(r); at != 0) {
                r[at] = static_cast<std::uint8_t>(r[at] + 1);
                return;
            }
        }
        // Nothing stored has a code: give slot 0 one it was never sent.
        answer.front()[1 + record::kNormalCount] = 1;
        answer.front()[1 + record::kNormalCodes] = 0x01;
        return;
    }
}

}  // namespace

std::optional<Malformed> malformedFromName(const std::string& name) {
    if (name == "bad-slot") return Malformed::BadSlot;
    if (name == "truncated-macro") return Malformed::TruncatedMacro;
    if (name == "bad-kind") return Malformed::BadKind;
    if (name == "corrupt-key") return Malformed::CorruptKey;
    return std::nullopt;
}

Report strayReport() {
    Report r{};
    r[1] = 0x01;
    r[3] = 0x04;
    return r;
}

std::vector<Report> applyFaults(const FaultModes& modes, Outcome::Answer kind,
                                std::vector<Report> answer) {
    if (answer.empty()) return answer;
    if (kind == Outcome::Answer::Keys) malformKeys(modes.malformed, answer);
    if (!modes.stray || kind == Outcome::Answer::Version) return answer;
    std::vector<Report> mixed;
    mixed.reserve(2 * answer.size());
    for (const Report& r : answer) {
        mixed.push_back(strayReport());
        mixed.push_back(r);
    }
    return mixed;
}

}  // namespace kx30emu
