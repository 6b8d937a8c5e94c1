#pragma once
// Intel HEX firmware images: the check made before a single report is sent, and the
// download itself (one report per record line).

#include <string_view>

#include "HwiSinks.h"
#include "KelvaneX30Export.h"

class CKeyboardUtil;

enum class HexError {
    None,
    Empty,               // no record at all
    MissingColon,        // a line (also an empty one before the end) does not start with ':'
    BadDigit,            // a character after ':' is not a hex digit
    OddDigitCount,       // the digits do not pair up into bytes
    TooShort,            // fewer than the 5 bytes of count, address, type and checksum
    LengthMismatch,      // the byte count disagrees with the line's length
    BadChecksum,         // the bytes do not sum to 0 modulo 256
    BadRecordType,       // a record type other than 00..05
    RecordTooLong,       // more than the 62 record bytes one report carries
    MissingEndOfFile,    // no end-of-file record (type 01)
    DataAfterEndOfFile,  // anything but line ends after the end-of-file record
};

struct KX30_API HexImageCheck {
    HexError error = HexError::None;
    int line = 0;     // 1-based line of the first fault; 0 when the image is good
    int records = 0;  // record lines in a good image (the end-of-file record included)

    bool ok() const { return error == HexError::None; }
    // A short English description of error.
    const char* reason() const;
};

// Checks the whole image. Lines end with CR LF, CR or LF; line ends after the end-of-file
// record are allowed. The text ends at its first zero byte.
KX30_API HexImageCheck validateHexImage(std::string_view text);

// Validates, then sends one report per record line: payload 00 3A, then the decoded record
// (byte count, address, type, data, checksum), zero-padded. Progress: 150 * lines sent /
// records, posted each time it grows. False when the image is refused (nothing sent) or a
// write failed (the lines before it stay sent).
KX30_API bool downloadFirmware(CKeyboardUtil& transport, std::string_view text,
                               IProgressSink* progress);
