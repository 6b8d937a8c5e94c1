#pragma once
// The transport: a Unix-domain SOCK_SEQPACKET listener standing in for the USB interface.
// Every message is one 65-byte report. Connections are served side by side with ppoll();
// each gets its own KeyboardFirmware, all share one KeyboardMemory. The fault modes
// (pacing, unplugging, silence, stray and malformed answers) live here.

#include <sys/types.h>

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Faults.h"
#include "KeyboardFirmware.h"
#include "KeyboardMemory.h"

namespace kx30emu {

class SocketServer {
public:
    SocketServer(KeyboardMemory& memory, FaultModes modes, bool log);
    ~SocketServer();
    SocketServer(const SocketServer&) = delete;
    SocketServer& operator=(const SocketServer&) = delete;

    // Binds and listens at path. Refuses (false, error set) when another emulator listens
    // there, when the path exists and is not a socket, or when it is too long; a stale
    // socket file is removed first.
    bool listen(const std::string& path, std::string& error);

    // Serves until SIGTERM/SIGINT (the caller routes them to requestStop) or, with
    // --disconnect-after, until the keyboard is "unplugged". Returns the exit code.
    int run();

    // Async-signal-safe.
    static void requestStop();

private:
    using Clock = std::chrono::steady_clock;
    struct Connection {
        int fd = -1;
        std::unique_ptr<KeyboardFirmware> firmware;
        std::deque<Report> outbox;
        Clock::time_point nextReceive{};
        Clock::time_point nextSend{};
        bool hangupSeen = false;
    };

    void acceptAll();
    // False when the connection is finished (peer closed, error).
    bool receiveOne(Connection& c);
    bool sendPending(Connection& c);
    void closeConnection(Connection& c);
    void unplug();
    void event(const std::string& line);
    void logReport(const char* dir, const Report& r, bool fromHost);

    KeyboardMemory& memory_;
    FaultModes modes_;
    bool log_;
    int listenFd_ = -1;
    std::string path_;
    ino_t inode_ = 0;
    std::vector<Connection> connections_;
    long received_ = 0;
    bool unplugged_ = false;
};

// Writes one event line to stdout and flushes it.
void printEvent(const std::string& line);

}  // namespace kx30emu
