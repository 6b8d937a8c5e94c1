#include "KeyboardMemory.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace kx30emu {

namespace {

// File layout, one item per line:
//   kx30-emulator-state 1
//   version <hex bytes of the text>
//   lights <12 hex bytes>
//   slot <index> <hex bytes of the record>      (174 lines, every slot once)
constexpr const char* kMagic = "kx30-emulator-state 1";

std::string hexCompact(const std::uint8_t* b, std::size_t n) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        s += digits[b[i] >> 4];
        s += digits[b[i] & 15];
    }
    return s;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool unhex(const std::string& s, std::vector<std::uint8_t>& out) {
    if (s.size() % 2 != 0) return false;
    out.clear();
    for (std::size_t i = 0; i < s.size(); i += 2) {
        const int hi = hexDigit(s[i]), lo = hexDigit(s[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return true;
}

}  // namespace

KeyboardMemory::KeyboardMemory(std::string version) : version_(std::move(version)) {
    for (int s = 0; s < kSlotCount; ++s) records_[static_cast<std::size_t>(s)] = emptyRecord(s);
}

void KeyboardMemory::setRecord(int slot, Record bytes) {
    records_.at(static_cast<std::size_t>(slot)) = std::move(bytes);
}

std::string KeyboardMemory::serialize() const {
    std::string out = kMagic;
    out += "\nversion ";
    out += hexCompact(reinterpret_cast<const std::uint8_t*>(version_.data()), version_.size());
    out += "\nlights ";
    out += hexCompact(lights_.data(), lights_.size());
    out += '\n';
    for (int s = 0; s < kSlotCount; ++s) {
        const Record& r = records_[static_cast<std::size_t>(s)];
        out += "slot " + std::to_string(s) + ' ' + hexCompact(r.data(), r.size()) + '\n';
    }
    return out;
}

bool KeyboardMemory::parse(const std::string& text, std::string& error) {
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    const auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(lineNo) + ": " + why;
        return false;
    };
    if (!std::getline(in, line) || line != kMagic) {
        lineNo = 1;
        return fail("not an emulator state file");
    }
    lineNo = 1;
    std::string version;
    bool haveVersion = false, haveLights = false;
    std::array<std::uint8_t, kLightByteCount> lights{};
    std::array<Record, kSlotCount> records;
    std::array<bool, kSlotCount> seen{};
    std::vector<std::uint8_t> bytes;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty()) continue;
        std::istringstream fields(line);
        std::string name, value;
        fields >> name;
        if (name == "version") {
            fields >> value;
            if (!unhex(value, bytes) || bytes.size() > kVersionTextMax ||
                std::find(bytes.begin(), bytes.end(), 0) != bytes.end())
                return fail("bad version text");
            version.assign(bytes.begin(), bytes.end());
            haveVersion = true;
        } else if (name == "lights") {
            fields >> value;
            if (!unhex(value, bytes) || bytes.size() != kLightByteCount)
                return fail("light bytes must be 12 hex bytes");
            std::copy(bytes.begin(), bytes.end(), lights.begin());
            haveLights = true;
        } else if (name == "slot") {
            long index = -1;
            if (!(fields >> index) || index < 0 || index >= kSlotCount)
                return fail("bad slot index");
            const auto s = static_cast<std::size_t>(index);
            if (seen[s]) return fail("slot " + std::to_string(index) + " given twice");
            fields >> value;
            if (!unhex(value, bytes)) return fail("bad hex in slot " + std::to_string(index));
            if (std::string why = checkRecord(bytes, static_cast<int>(index)); !why.empty())
                return fail("slot " + std::to_string(index) + ": " + why);
            records[s] = bytes;
            seen[s] = true;
        } else {
            return fail("unknown item '" + name + "'");
        }
    }
    if (!haveVersion || !haveLights) return fail("version or lights missing");
    for (int s = 0; s < kSlotCount; ++s)
        if (!seen[static_cast<std::size_t>(s)]) return fail("slot " + std::to_string(s) + " missing");
    version_ = std::move(version);
    lights_ = lights;
    records_ = std::move(records);
    return true;
}

bool KeyboardMemory::load(bool& found, std::string& error) {
    found = false;
    if (file_.empty()) return true;
    std::error_code ec;
    if (!std::filesystem::exists(file_, ec)) return true;
    found = true;
    std::ifstream in(file_, std::ios::binary);
    if (!in) {
        error = "cannot read " + file_.string();
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!parse(text.str(), error)) {
        error = file_.string() + ": " + error;
        return false;
    }
    return true;
}

std::string KeyboardMemory::save() const {
    if (file_.empty()) return {};
    const std::string text = serialize();
    const std::string temp = file_.string() + ".tmp." + std::to_string(getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return "cannot create " + temp + ": " + std::strerror(errno);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const std::string why = std::strerror(errno);
            ::close(fd);
            ::unlink(temp.c_str());
            return "cannot write " + temp + ": " + why;
        }
        done += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    const int syncErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) {
        const std::string why = std::strerror(synced ? errno : syncErrno);
        ::unlink(temp.c_str());
        return "cannot flush " + temp + ": " + why;
    }
    if (std::rename(temp.c_str(), file_.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(temp.c_str());
        return "cannot replace " + file_.string() + ": " + why;
    }
    return {};
}

}  // namespace kx30emu
