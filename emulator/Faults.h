#pragma once
// Fault modes of the transport: how an answer is bent before it goes out. The firmware
// logic always produces the sound answer; these filters stand in for a misbehaving
// keyboard or a noisy bus.

#include <optional>
#include <string>
#include <vector>

#include "KeyboardFirmware.h"
#include "Protocol.h"

namespace kx30emu {

enum class Malformed {
    None,
    BadSlot,         // key records with level 3 / key 0 / key 88 mixed into the key answer
    TruncatedMacro,  // the key answer is the first chunk of a 2-chunk macro, then silence
    BadKind,         // slot 0's record goes out with kind 7
    CorruptKey,      // one stored code is altered in the key answer
};

struct FaultModes {
    bool usbPacing = false;
    long disconnectAfter = 0;  // 0: never
    bool silent = false;
    bool stray = false;
    Malformed malformed = Malformed::None;
};

// "bad-slot" etc.; nullopt for an unknown name.
std::optional<Malformed> malformedFromName(const std::string& name);

// An input report that is neither a key record, an end of key data, a light data nor an
// end of light data: payload 01 00 04 00, then zeros.
Report strayReport();

// Applies the malformed mode (key answers only) and then the stray mode (key and light
// answers: a stray report before each answer report). The version answer is a single
// report the host takes as it comes, so it is left alone.
std::vector<Report> applyFaults(const FaultModes& modes, Outcome::Answer kind,
                                std::vector<Report> answer);

}  // namespace kx30emu
