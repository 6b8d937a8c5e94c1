#pragma once
// CVelaHWI: the program's one handle on the keyboard. It owns the transport to the keyboard
// (or to the emulator standing in for it) and the store that holds the whole key
// configuration of both levels and the twelve backlight bytes in the keyboard's own terms.
//
// Not safe for concurrent use: it has no locks. Use it from one thread at a time; only
// DetectDevice may run on another thread during a transfer (it touches neither the store
// nor the open device).
//
// Failures are reported as false; nothing throws.

#include <memory>

#include "HwiSinks.h"
#include "KelvaneX30Export.h"

class CKeyboardUtil;
class CKelvaneX30;

class KX30_API CVelaHWI {
public:
    CVelaHWI();
    ~CVelaHWI();
    CVelaHWI(const CVelaHWI&) = delete;
    // Copies the store's contents (definitions and light bytes), the version text and the
    // read timeout into this object's own store. Transport and store are never shared
    // between two objects; while this object is closed it has no store to copy into.
    CVelaHWI& operator=(const CVelaHWI& other);

    // Opens the first keyboard found (a real one first, then an emulator). True at once
    // when already open.
    bool __createDev();
    // Closes the device and drops the store. Always true.
    bool __closeDev();
    // True when a keyboard (or an emulator) is present. Opens nothing.
    bool DetectDevice();
    // True while a device is open.
    bool isOpen() const;

    // Empties all 174 slots and zeroes the light bytes.
    bool prepare();
    // Stores one key definition from a configuration array of count ints. level 0 or 1,
    // key 1..87. True when stored; false when refused (unknown kind, key or level out of
    // range, an array shorter than its counts say, or a definition that does not fit a key
    // record), in which case the store is unchanged. values is only read.
    bool setKeyConfiguration(int level, int key, int* values, int count);
    // Writes the slot's definition as a configuration array into values (at most capacity
    // ints). An empty slot reads as kind 0 with no codes. False, values untouched, when the
    // array does not fit capacity, level or key are out of range or no device is open.
    bool getKeyConfiguration(int level, int key, int* values, int capacity);

    // Sends all 174 slots (begin report, records, end report). True when every report was
    // written. Progress: slot index after each slot.
    bool writeKeyConfigurationToDev(IProgressSink* progress);
    // Requests the keyboard's configuration and rebuilds the store from its records. True
    // when the keyboard's end of key data arrived within the read timeout of each report.
    bool readKeyDefinationFromDev(IProgressSink* progress);

    // Stores the low bytes of values[0..11] (of 87) and sends them. False when a report
    // could not be written.
    bool setKeyLight(int level, int* values);
    // 87 ints: the 12 light bytes, then 75 zeros.
    bool getKeyLight(int level, int* values);
    // Stores the low bytes of values[0..11] and sends them. False when a report could not
    // be written.
    bool setKeyboardLightArea(int* values);
    // values[0..11] = the 12 light bytes.
    bool getKeyboardLightArea(int* values);
    // Requests the light bytes from the keyboard. True when its end of light data arrived.
    bool readKeyLightFromDev();

    // Asks for the firmware version text; text needs room for 62 wide characters plus a
    // terminating zero. False (text unchanged) when no answer came.
    bool ReadKeyboardVersion(wchar_t* text);
    // Runs the same query into this object's own buffer and returns it.
    wchar_t* getHardwareVersion();
    // Validates the whole Intel HEX text, then sends it one report per line. False when the
    // image is not acceptable (nothing is sent then) or a write failed.
    bool WriteFirmwareToKeyboard(char* text, int length, IProgressSink* progress);

    // How long one report read (and a write blocked by a busy keyboard) may wait, in
    // milliseconds (default 2000).
    void setReadTimeout(int milliseconds);
    int readTimeout() const;

    // For tests and tools: takes an already opened transport instead of running discovery.
    // Replaces (closes) any device that is open.
    void attachTransport(std::unique_ptr<CKeyboardUtil> transport);

private:
    std::unique_ptr<CKeyboardUtil> transport;
    std::unique_ptr<CKelvaneX30> model;  // exists exactly while transport exists
    wchar_t versionText[64] = {};
    int readTimeoutMs = 2000;
};
