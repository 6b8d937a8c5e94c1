#pragma once
// The catalogue of keys and codes: converts between host codes (with their English names)
// and keyboard codes. Built once with buildKeyCatalogue and read-only afterwards; until then
// every look-up finds nothing.
//
// Every look-up is range-safe: a code outside the tables finds no name ("-- --") and no code
// (0), instead of reading past an array.

#include <array>
#include <map>
#include <string>
#include <string_view>

#include "KeyFunctionKind.h"

class KeyCatalogue {
public:
    static constexpr int kTableSize = 1024;
    static constexpr int kHostCodeMask = 0x1FF;   // event code bits that hold the host code
    static constexpr int kReleaseBit = 0x200;     // event code bit set for a release
    static constexpr const char* kNoName = "-- --";

    // Fills the name map and both code tables from the constant data. Always true.
    bool buildKeyCatalogue();

    // Name of the host code in bits 0..8 of eventCode. With direction, " UP" follows when
    // bit 9 or any higher bit is set and " Down" otherwise. "-- --" (no suffix) when the host
    // code has no name.
    std::string nameOfHostCode(int eventCode, bool withDirection) const;
    // Name of the host code that keyboard code `code` stands for; "-- --" when there is none
    // (also for negative codes and codes of 1024 or more).
    std::string nameOfKeyboardCode(int code) const;
    // Host code of keyboard code `code`: -1 for a negative code, 0 for one of 1024 or more,
    // else the inverse table's entry. Entry 0 is 1023, a code without name.
    int hostCodeOf(int code) const;

    // Direct reads. keyboardCodeOfHost reads entry (hostCode & 0x1FF): 0 when the host code
    // has no keyboard code. hostCodeOfKeyboard reads the inverse table: 0 outside 0..1023.
    int keyboardCodeOfHost(int hostCode) const;
    int hostCodeOfKeyboard(int code) const;

    // Host code -> name, in ascending host code order.
    const std::map<int, std::string>& hostCodeNames() const { return names_; }
    // The name of a host code, or nullptr when it has none (no masking).
    const std::string* nameOf(int hostCode) const;

    // Display name of a kind in the given language ("zh-CN" gives Chinese, anything else
    // English). A kind outside 0..8 gives the name of Not set.
    static const char* kindName(int kind, std::string_view language);

private:
    std::map<int, std::string> names_;
    std::array<int, kTableSize> keyboardCodeOfHost_{};
    std::array<int, kTableSize> hostCodeOfKeyboard_{};
};
