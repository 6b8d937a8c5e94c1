#pragma once
// The firmware download's work on the worker thread: read the file named by
// configuration.firmwarePath, hand it to the library, and post the outcome (1 downloaded,
// 2 failed, 3 file not readable) to configuration.transferWindow. No Qt.

#include <cstddef>

class KeyboardConfiguration;

// Files larger than this are refused as a failed download without being read whole.
inline constexpr std::size_t kMaxFirmwareFileSize = 64u * 1024u * 1024u;

// Runs the download and returns the outcome it posted. The library validates the whole image
// before it sends a line, so a refused image leaves the keyboard untouched.
int runFirmwareJob(KeyboardConfiguration& configuration);
