#pragma once
// The report transport. Every report is 65 bytes in both directions: byte 0 the report id
// (always 0), bytes 1..64 the payload; payload byte 1 is the command.
//
// CKelvaneX30Util sits on a report channel chosen by the device path: a hidraw device
// through hidapi, or the emulator's Unix-domain SOCK_SEQPACKET socket (path prefix
// "emulator:"), where every message is exactly one 65-byte report.

#include <cstdint>
#include <memory>
#include <string>

#include "KelvaneX30Export.h"

inline constexpr int kReportSize = 65;
inline constexpr int kPayloadSize = 64;
inline constexpr const char* kEmulatorPathPrefix = "emulator:";

class KX30_API CKeyboardUtil {
public:
    virtual ~CKeyboardUtil();
    // Sends one output report; buffer holds length bytes including the report id.
    virtual bool writeReport(const std::uint8_t* buffer, int length) = 0;
    // Receives one input report, waiting at most timeoutMs milliseconds (a negative value
    // waits without limit). On success buffer receives *length payload bytes (without the
    // report id; bytes a short report did not carry read as 0) and *length is at least its
    // entry value. False on timeout, disconnect or error, with buffer unspecified.
    virtual bool readReport(std::uint8_t* buffer, int* length, int timeoutMs) = 0;
    // Waits until the keyboard has taken every report written so far. False when it went
    // away first or took nothing for the write timeout. Writes end a transfer with it, so a
    // keyboard unplugged during the last reports fails the transfer; a transport that hands
    // each report over synchronously has nothing to wait for.
    virtual bool waitUntilTaken() { return true; }
};

// Where the reports really go. One backend per kind of device; tests supply their own.
class KX30_API IReportChannel {
public:
    virtual ~IReportChannel();
    // False when the device could not be opened or has gone away.
    virtual bool isOpen() const = 0;
    // Sends one whole report. Gives up after timeoutMs milliseconds of back-pressure.
    virtual bool send(const std::uint8_t* report, int length, int timeoutMs) = 0;
    // Receives one report into report (capacity bytes, report id first). Returns the bytes
    // received, 0 on timeout, -1 when the device is gone or failed.
    virtual int receive(std::uint8_t* report, int capacity, int timeoutMs) = 0;
    // Waits until every report sent so far has been taken by the device (see
    // CKeyboardUtil::waitUntilTaken).
    virtual bool waitUntilTaken(int timeoutMs) {
        (void)timeoutMs;
        return true;
    }
};

// Opens the channel for a device path: "emulator:SOCKET" connects to the emulator,
// anything else is a hidraw path for hidapi. Never null; check isOpen().
KX30_API std::unique_ptr<IReportChannel> openReportChannel(const std::string& path);

class KX30_API CKelvaneX30Util : public CKeyboardUtil {
public:
    // Opens the device at path (see openReportChannel).
    explicit CKelvaneX30Util(const std::string& path);
    // Uses an already opened channel (tests, tools).
    explicit CKelvaneX30Util(std::unique_ptr<IReportChannel> channel);
    ~CKelvaneX30Util() override;

    bool isOpen() const;
    bool writeReport(const std::uint8_t* buffer, int length) override;
    bool readReport(std::uint8_t* buffer, int* length, int timeoutMs) override;
    bool waitUntilTaken() override;
    // Asks for the firmware version text (see queryKeyboardVersion).
    virtual bool queryVersion(wchar_t* text, int timeoutMs = 2000);

    // How long a write may stay blocked by a keyboard that does not take reports.
    void setWriteTimeout(int milliseconds) { writeTimeoutMs = milliseconds; }

private:
    std::unique_ptr<IReportChannel> channel;
    int writeTimeoutMs = 2000;
};

// The version query over any transport: sends 00 F9, takes the first answer whose payload
// byte 1 is 0xF9 (other reports are passed over) and converts payload bytes 2..63 from the
// locale's code set into text (at most 62 characters plus a terminating zero, so text needs
// room for 63). False, text unchanged, when the write fails or no answer comes in time.
KX30_API bool queryKeyboardVersion(CKeyboardUtil& transport, wchar_t* text, int timeoutMs);
