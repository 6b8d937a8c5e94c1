#include "KeyboardFirmware.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kx30emu {

namespace {

std::string hexByte(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X", v & 0xFFu);
    return buf;
}

}  // namespace

Outcome KeyboardFirmware::handle(const Report& report) {
    Outcome out;
    if (report[0] != 0) {
        out.events.push_back("ignored report-id " + hexByte(report[0]));
        return out;
    }
    switch (commandOf(report)) {
    case Command::BeginKeyWrite:
        // A new write starts over; whatever an unfinished one left stays stored.
        dropPendingMacro(out);
        inKeyWrite_ = true;
        recordsWritten_ = 0;
        break;
    case Command::KeyRecord:
        keyRecord(report, out);
        break;
    case Command::EndKeyData:
        if (!inKeyWrite_) {
            out.events.push_back("ignored key-end outside-write");
            break;
        }
        dropPendingMacro(out);
        inKeyWrite_ = false;
        out.events.push_back("keys-written " + std::to_string(recordsWritten_));
        saveState(out);
        break;
    case Command::KeyRequest: {
        out.answer = Outcome::Answer::Keys;
        for (int s = 0; s < kSlotCount; ++s) {
            const Record& rec = memory_.record(s);
            for (std::size_t off = 0; off < rec.size(); off += kPayloadSize)
                out.reports.push_back(chunkReport(rec.data() + off));
        }
        out.reports.push_back(filledReport(static_cast<std::uint8_t>(Command::EndKeyData)));
        out.events.push_back("keys-read");
        break;
    }
    case Command::BeginLightWrite:
        inLightWrite_ = true;
        break;
    case Command::LightData: {
        if (!inLightWrite_) {
            out.events.push_back("ignored light-data outside-write");
            break;
        }
        std::array<std::uint8_t, kLightByteCount> bytes{};
        for (std::size_t i = 0; i < kLightByteCount; ++i) bytes[i] = payloadByte(report, 2 + i);
        memory_.setLights(bytes);
        break;
    }
    case Command::EndLightData: {
        if (!inLightWrite_) {
            out.events.push_back("ignored light-end outside-write");
            break;
        }
        inLightWrite_ = false;
        const auto& l = memory_.lights();
        std::string line = "lights-written";
        for (std::size_t a = 0; a < 4; ++a)
            line += ' ' + std::to_string(l[3 * a]) + ',' + std::to_string(l[3 * a + 1]) + ',' +
                    std::to_string(l[3 * a + 2]);
        out.events.push_back(line);
        saveState(out);
        break;
    }
    case Command::LightRequest: {
        out.answer = Outcome::Answer::Lights;
        Report data = commandReport(Command::LightData);
        std::memcpy(data.data() + 3, memory_.lights().data(), kLightByteCount);
        out.reports.push_back(data);
        out.reports.push_back(filledReport(static_cast<std::uint8_t>(Command::EndLightData)));
        out.events.push_back("lights-read");
        break;
    }
    case Command::VersionRequest: {
        out.answer = Outcome::Answer::Version;
        Report r = commandReport(Command::VersionRequest);
        const std::string& text = memory_.version();
        std::memcpy(r.data() + 3, text.data(), std::min(text.size(), kVersionTextMax));
        out.reports.push_back(r);
        out.events.push_back("version-read");
        break;
    }
    case Command::FirmwareLine:
        firmwareLine(report, out);
        break;
    default:
        out.events.push_back("ignored command " + hexByte(report[2]));
        break;
    }
    return out;
}

void KeyboardFirmware::keyRecord(const Report& r, Outcome& out) {
    if (!inKeyWrite_) {
        // The keyboard takes key records only between a begin and an end report; a stray
        // record must not change a configuration nobody meant to write.
        out.events.push_back("ignored key-record outside-write");
        return;
    }
    const std::uint8_t* chunk = r.data() + 1;
    if (!pending_.empty()) {
        if (std::memcmp(chunk, pending_.data(), record::kHeaderSize) == 0) {
            pending_.insert(pending_.end(), chunk, chunk + kPayloadSize);
            if (pending_.size() == pendingChunks_ * kPayloadSize) {
                storeRecord(pendingSlot_, std::move(pending_));
                pending_.clear();
            }
            return;
        }
        // Another record before the macro was complete: the macro is lost, this report
        // is taken on its own.
        dropPendingMacro(out);
    }
    const int level = chunk[record::kLevel], key = chunk[record::kKey];
    if (!isValidSlot(level, key)) {
        out.events.push_back("ignored key-record bad-slot " + std::to_string(level) + ' ' +
                             std::to_string(key));
        return;
    }
    const std::uint8_t kind = chunk[record::kKind];
    if (kind > record::kMacro) {
        out.events.push_back("ignored key-record bad-kind " + std::to_string(kind));
        return;
    }
    const int slot = slotIndex(level, key);
    const std::size_t chunks = chunksFor(kind, chunk[record::kCount]);
    Record bytes(chunk, chunk + kPayloadSize);
    if (chunks == 1) {
        storeRecord(slot, std::move(bytes));
        return;
    }
    pending_ = std::move(bytes);
    pendingChunks_ = chunks;
    pendingSlot_ = slot;
}

void KeyboardFirmware::storeRecord(int slot, Record bytes) {
    memory_.setRecord(slot, std::move(bytes));
    ++recordsWritten_;
}

void KeyboardFirmware::dropPendingMacro(Outcome& out) {
    if (pending_.empty()) return;
    out.events.push_back("ignored key-record incomplete-macro " +
                         std::to_string(slotLevel(pendingSlot_)) + ' ' +
                         std::to_string(slotKey(pendingSlot_)));
    pending_.clear();
    pendingChunks_ = 0;
    pendingSlot_ = -1;
}

void KeyboardFirmware::firmwareLine(const Report& r, Outcome& out) {
    // Payload bytes 2..63: byte count, address high, address low, record type, data, checksum.
    const std::uint8_t* rec = r.data() + 3;
    constexpr std::size_t room = kPayloadSize - 2;  // 62
    const std::size_t count = rec[0];
    const std::uint8_t type = rec[3];
    const std::size_t size = count + 5;
    std::string reason;
    if (size > room) {
        // The line did not fit one report, so its tail (data and checksum) never arrived:
        // flashing it would write a corrupt image.
        reason = "truncated";
    } else {
        unsigned sum = 0;
        for (std::size_t i = 0; i < size; ++i) sum += rec[i];
        if ((sum & 0xFFu) != 0)
            reason = "checksum";
        else if (type > 0x05)
            reason = "type";
    }
    ++firmwareLines_;
    if (reason.empty()) {
        if (type == 0x00) firmwareBytes_ += count;
        out.events.push_back("firmware-line " + std::to_string(firmwareLines_) + " ok");
    } else {
        if (firstBadLine_ == 0) {
            firstBadLine_ = firmwareLines_;
            firstBadReason_ = reason;
        }
        out.events.push_back("firmware-line " + std::to_string(firmwareLines_) + " bad " + reason);
    }
    if (type != 0x01) return;
    // The end-of-file record closes the image, good or bad; the next line starts a new one.
    if (firstBadLine_ == 0)
        out.events.push_back("firmware-flashed " + std::to_string(firmwareLines_) + ' ' +
                             std::to_string(firmwareBytes_));
    else
        out.events.push_back("firmware-rejected " + std::to_string(firstBadLine_) + ' ' +
                             firstBadReason_);
    firmwareLines_ = 0;
    firmwareBytes_ = 0;
    firstBadLine_ = 0;
    firstBadReason_.clear();
}

void KeyboardFirmware::saveState(Outcome& out) {
    if (std::string why = memory_.save(); !why.empty())
        out.events.push_back("state-save-failed " + why);
}

}  // namespace kx30emu
