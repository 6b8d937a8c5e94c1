#pragma once
// What the Windows discovery and transport share: how a HID device path is opened.
#include <windows.h>

#include <string>

// The UTF-8 device path as the platform's wide string; empty when it is not valid UTF-8.
std::wstring widePath(const std::string& path);

// Opens a HID device path read-write, sharing reads only, for overlapped I/O. Returns
// INVALID_HANDLE_VALUE on failure; error (when given) receives the platform's error code,
// ERROR_SUCCESS after a successful open.
HANDLE openHidPath(const std::string& path, DWORD* error = nullptr);
