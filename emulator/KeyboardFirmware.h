#pragma once
// The keyboard's firmware logic: what it does with each host report, per the command table.
// One instance per connection (the sessions of a write belong to the connection that began
// them); all instances share one KeyboardMemory. It knows nothing of sockets, timing or
// fault modes: it takes one report and says what to answer and what happened.

#include <cstddef>
#include <string>
#include <vector>

#include "KeyboardMemory.h"
#include "Protocol.h"

namespace kx30emu {

// What one host report led to.
struct Outcome {
    enum class Answer { None, Keys, Lights, Version };
    Answer answer = Answer::None;
    std::vector<Report> reports;       // the answer, in order
    std::vector<std::string> events;   // finished exchanges, one line each
};

class KeyboardFirmware {
public:
    explicit KeyboardFirmware(KeyboardMemory& memory) : memory_(memory) {}

    // report is a whole 65-byte report (byte 0 the report id).
    Outcome handle(const Report& report);

private:
    void keyRecord(const Report& r, Outcome& out);
    void storeRecord(int slot, Record bytes);
    void dropPendingMacro(Outcome& out);
    void firmwareLine(const Report& r, Outcome& out);
    void saveState(Outcome& out);

    KeyboardMemory& memory_;

    bool inKeyWrite_ = false;
    int recordsWritten_ = 0;
    // A macro record whose further chunks are still to come.
    Record pending_;
    std::size_t pendingChunks_ = 0;
    int pendingSlot_ = -1;

    bool inLightWrite_ = false;

    // The firmware image being received: lines so far, data bytes, the first bad line.
    int firmwareLines_ = 0;
    std::size_t firmwareBytes_ = 0;
    int firstBadLine_ = 0;
    std::string firstBadReason_;
};

}  // namespace kx30emu
