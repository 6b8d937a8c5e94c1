// The emulator's wire: a Unix-domain SOCK_SEQPACKET socket, one message per 65-byte report.
#include "ReportChannels.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#if defined(__linux__)
#include <linux/sockios.h>  // SIOCOUTQ
#endif

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until deadline for poll(): -1 without a deadline, never below 0.
int remainingMs(bool bounded, Clock::time_point deadline) {
    if (!bounded) return -1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool fillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    return true;
}

class SocketChannel final : public IReportChannel {
public:
    explicit SocketChannel(const std::string& path) {
        sockaddr_un address;
        if (!fillAddress(path, address)) return;
        fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
        if (fd < 0) return;
        // As small a send buffer as the system allows, so that a write blocks while the
        // keyboard is still busy with earlier reports, as a USB write does.
        int size = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ~SocketChannel() override {
        if (fd >= 0) ::close(fd);
    }
    SocketChannel(const SocketChannel&) = delete;
    SocketChannel& operator=(const SocketChannel&) = delete;

    bool isOpen() const override { return fd >= 0; }

    bool send(const std::uint8_t* report, int length, int timeoutMs) override {
        if (fd < 0) return false;
        const bool bounded = timeoutMs >= 0;
        const auto deadline = Clock::now() + std::chrono::milliseconds(bounded ? timeoutMs : 0);
        for (;;) {
            const ssize_t n = ::send(fd, report, static_cast<std::size_t>(length),
                                     MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n == length) return true;
            if (n >= 0) return false;
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) return false;  // gone
            pollfd p{fd, POLLOUT, 0};
            const int wait = remainingMs(bounded, deadline);
            if (bounded && wait == 0) return false;
            const int rc = ::poll(&p, 1, wait);
            if (rc < 0 && errno != EINTR) return false;
            if (rc == 0) return false;  // the keyboard took nothing for timeoutMs
            if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) return false;
        }
    }

    int receive(std::uint8_t* report, int capacity, int timeoutMs) override {
        if (fd < 0) return -1;
        const bool bounded = timeoutMs >= 0;
        const auto deadline = Clock::now() + std::chrono::milliseconds(bounded ? timeoutMs : 0);
        for (;;) {
            const ssize_t n = ::recv(fd, report, static_cast<std::size_t>(capacity), MSG_DONTWAIT);
            if (n > 0) return static_cast<int>(n);
            if (n == 0) return -1;  // the emulator closed the connection: unplugged
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) return -1;
            pollfd p{fd, POLLIN, 0};
            const int wait = remainingMs(bounded, deadline);
            if (bounded && wait == 0) return 0;
            const int rc = ::poll(&p, 1, wait);
            if (rc < 0 && errno != EINTR) return -1;
            if (rc == 0) return 0;
            if ((p.revents & (POLLERR | POLLNVAL)) != 0) return -1;
            // POLLHUP with data still queued: the next recv gets it, then 0.
        }
    }

private:
    // A USB write ends when the keyboard has taken the report. Here the report may still sit
    // in the socket: wait until the emulator has read it, so that a keyboard unplugged
    // meanwhile fails this write (or the next one) instead of going unnoticed. False when it
    // went away with the report unread or did not take it before deadline.
    // While reports follow each other, the tiny send buffer lets only a report or two be in
    // flight, and a keyboard that hung up fails the next send. Only the last reports of a
    // transfer need this wait, so spinning here costs little.
    bool waitUntilTaken(int timeoutMs) override {
        if (fd < 0) return false;
        const bool bounded = timeoutMs >= 0;
        const auto deadline = Clock::now() + std::chrono::milliseconds(bounded ? timeoutMs : 0);
        for (int round = 0;; ++round) {
            int pending = 0;
#if defined(SIOCOUTQ)
            if (::ioctl(fd, SIOCOUTQ, &pending) != 0) return true;  // cannot tell: sent is all we know
#endif
            // A keyboard that hung up drops what it had not read, and the queue then reads
            // empty as well: once it is gone, nothing queued can be known to have arrived.
            pollfd p{fd, 0, 0};
            const bool gone = ::poll(&p, 1, 0) > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
            if (gone) return false;
            if (pending <= 0) return true;
            if (bounded && Clock::now() >= deadline) return false;
            // The emulator usually reads within microseconds; yield first, then nap.
            if (round < 64) {
                std::this_thread::yield();
            } else {
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            }
        }
    }

    int fd = -1;
};

}  // namespace

std::unique_ptr<IReportChannel> openSocketChannel(const std::string& socketPath) {
    return std::make_unique<SocketChannel>(socketPath);
}

bool socketIsListening(const std::string& socketPath) { return socketConnectError(socketPath) == 0; }

int socketConnectError(const std::string& socketPath) {
    sockaddr_un address;
    if (!fillAddress(socketPath, address)) return EINVAL;
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) return errno;
    const int error =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}
