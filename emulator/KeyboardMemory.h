#pragma once
// The keyboard's stored state: the 174 key records as they arrived (macros in all their
// chunks), the 12 light bytes and the version text. Optionally kept in a file across
// restarts, like the keyboard's flash; the file is only ever replaced whole (temp file +
// rename), so a crash mid-save leaves the previous file in place.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "Protocol.h"

namespace kx30emu {

class KeyboardMemory {
public:
    // Every slot an empty normal record, lights 0.
    explicit KeyboardMemory(std::string version);

    const Record& record(int slot) const { return records_.at(static_cast<std::size_t>(slot)); }
    // The record must pass checkRecord for the slot (the firmware only stores such records).
    void setRecord(int slot, Record bytes);

    const std::array<std::uint8_t, kLightByteCount>& lights() const { return lights_; }
    void setLights(const std::array<std::uint8_t, kLightByteCount>& bytes) { lights_ = bytes; }

    const std::string& version() const { return version_; }
    void setVersion(std::string text) { version_ = std::move(text); }

    // Binds the memory to a file. load() then reads it: true with found=false when the file
    // does not exist yet (the memory stays as it is); false with error set when the file
    // exists but is not a sound state file, in which case nothing in memory changes.
    void attachFile(std::filesystem::path file) { file_ = std::move(file); }
    bool hasFile() const { return !file_.empty(); }
    bool load(bool& found, std::string& error);
    // Writes the whole memory to the attached file (no-op without one). Empty string on
    // success, else why it failed; the old file is untouched then.
    std::string save() const;

    // The state file's text for this memory, and its parser (used by load and save).
    std::string serialize() const;
    // False with error set when text is not a sound state; memory unchanged then.
    bool parse(const std::string& text, std::string& error);

private:
    std::array<Record, kSlotCount> records_;
    std::array<std::uint8_t, kLightByteCount> lights_{};
    std::string version_;
    std::filesystem::path file_;
};

}  // namespace kx30emu
