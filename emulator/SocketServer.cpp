#include "SocketServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace kx30emu {

namespace {

volatile std::sig_atomic_t gStop = 0;

// The full-speed interrupt endpoint moves one report per 1 ms frame in each direction.
constexpr auto kFrame = std::chrono::milliseconds(1);

// Next frame after one that started at `deadline`: frames keep their grid while the host
// keeps up, and after an idle spell the next frame is a whole frame after now.
std::chrono::steady_clock::time_point nextFrame(std::chrono::steady_clock::time_point deadline,
                                                std::chrono::steady_clock::time_point now) {
    auto next = deadline + kFrame;
    if (next <= now) next = now + kFrame;
    return next;
}

bool fillAddress(const std::string& path, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

void printEvent(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

SocketServer::SocketServer(KeyboardMemory& memory, FaultModes modes, bool log)
    : memory_(memory), modes_(modes), log_(log) {}

SocketServer::~SocketServer() {
    for (Connection& c : connections_) closeConnection(c);
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        // Remove the socket file only while it is still the one we bound.
        struct stat st {};
        if (::lstat(path_.c_str(), &st) == 0 && st.st_ino == inode_) ::unlink(path_.c_str());
    }
}

void SocketServer::requestStop() { gStop = 1; }

bool SocketServer::listen(const std::string& path, std::string& error) {
    sockaddr_un addr{};
    if (!fillAddress(path, addr)) {
        error = "socket path '" + path + "' is empty or longer than " +
                std::to_string(sizeof addr.sun_path - 1) + " bytes";
        return false;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            error = path + " exists and is not a socket; not touching it";
            return false;
        }
        const int probe = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
        if (probe < 0) {
            error = std::string("socket: ") + std::strerror(errno);
            return false;
        }
        const bool answered =
            ::connect(probe, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
        ::close(probe);
        if (answered) {
            error = "another emulator is already listening on " + path;
            return false;
        }
        // Nobody listens: a socket file left behind by an emulator that died.
        ::unlink(path.c_str());
    }
    listenFd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listenFd_ < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    if (::bind(listenFd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd_, 16) != 0) {
        error = "cannot listen on " + path + ": " + std::strerror(errno);
        ::close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    if (::lstat(path.c_str(), &st) == 0) inode_ = st.st_ino;
    path_ = path;
    return true;
}

void SocketServer::event(const std::string& line) { printEvent(line); }

void SocketServer::logReport(const char* dir, const Report& r, bool fromHost) {
    if (!log_) return;
    std::fprintf(stderr, "%s %s\n%s   %s\n", dir, hex(r.data(), r.size()).c_str(), dir,
                 describe(r, fromHost).c_str());
}

void SocketServer::acceptAll() {
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR) continue;
            return;  // EAGAIN: nobody else waiting; other errors: try again next round
        }
        if (modes_.usbPacing) {
            // A small buffer, so that what the host writes waits on us as it would on USB.
            const int size = 1024;
            ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
            ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
        }
        Connection c;
        c.fd = fd;
        c.firmware = std::make_unique<KeyboardFirmware>(memory_);
        connections_.push_back(std::move(c));
        if (log_) std::fprintf(stderr, "connection %d opened\n", fd);
    }
}

bool SocketServer::receiveOne(Connection& c) {
    std::uint8_t buf[1024];
    const ssize_t n = ::recv(c.fd, buf, sizeof buf, MSG_DONTWAIT | MSG_TRUNC);
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    if (n == 0 && c.hangupSeen) return false;  // peer closed and everything it sent is read
    if (n == 0) {
        // A zero-length message on a live connection; a closed one is seen as hang-up.
        pollfd p{c.fd, POLLIN, 0};
        if (::poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLERR))) return false;
    }
    if (modes_.usbPacing) c.nextReceive = nextFrame(c.nextReceive, Clock::now());
    ++received_;
    if (static_cast<std::size_t>(n) != kReportSize) {
        std::fprintf(stderr, "kx30-emulator: ignored a host message of %zd bytes (a report is %zu)\n",
                     n, kReportSize);
        event("ignored length " + std::to_string(n));
    } else {
        Report r;
        std::memcpy(r.data(), buf, kReportSize);
        logReport("host>", r, true);
        Outcome out = c.firmware->handle(r);
        for (const std::string& e : out.events) event(e);
        if (!modes_.silent && !out.reports.empty()) {
            for (Report& a : applyFaults(modes_, out.answer, std::move(out.reports)))
                c.outbox.push_back(a);
        }
    }
    if (modes_.disconnectAfter > 0 && received_ >= modes_.disconnectAfter) unplugged_ = true;
    return true;
}

bool SocketServer::sendPending(Connection& c) {
    while (!c.outbox.empty()) {
        const auto now = Clock::now();
        if (modes_.usbPacing && now < c.nextSend) return true;
        const Report& r = c.outbox.front();
        const ssize_t n = ::send(c.fd, r.data(), r.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return true;
            return false;  // the host went away
        }
        logReport("kbd> ", r, false);
        c.outbox.pop_front();
        if (modes_.usbPacing) c.nextSend = nextFrame(c.nextSend, now);
    }
    return true;
}

void SocketServer::closeConnection(Connection& c) {
    if (c.fd < 0) return;
    if (log_) std::fprintf(stderr, "connection %d closed\n", c.fd);
    ::close(c.fd);
    c.fd = -1;
}

void SocketServer::unplug() {
    for (Connection& c : connections_) closeConnection(c);
    connections_.clear();
    ::close(listenFd_);
    listenFd_ = -1;
    ::unlink(path_.c_str());
    event("disconnected");
}

int SocketServer::run() {
    sigset_t blocked, waitMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGINT);
    // Signals stay blocked except inside ppoll, so a stop request cannot slip in between
    // the check and the wait.
    sigprocmask(SIG_BLOCK, &blocked, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);

    std::vector<pollfd> fds;
    while (!gStop) {
        const auto now = Clock::now();
        std::optional<Clock::time_point> wake;
        const auto wakeAt = [&](Clock::time_point t) {
            if (!wake || t < *wake) wake = t;
        };
        fds.clear();
        fds.push_back({listenFd_, POLLIN, 0});
        for (Connection& c : connections_) {
            short ev = 0;
            const bool mayReceive = !modes_.usbPacing || now >= c.nextReceive;
            if (mayReceive)
                ev |= POLLIN;
            else
                wakeAt(c.nextReceive);
            if (!c.outbox.empty()) {
                if (!modes_.usbPacing || now >= c.nextSend)
                    ev |= POLLOUT;
                else
                    wakeAt(c.nextSend);
            }
            // A hung-up peer keeps reporting POLLHUP; leave it out while it has to wait.
            fds.push_back({(ev == 0 && c.hangupSeen) ? -1 : c.fd, ev, 0});
        }
        timespec ts{};
        timespec* timeout = nullptr;
        if (wake) {
            const auto left = std::max(Clock::duration::zero(), *wake - now);
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            ts.tv_sec = static_cast<time_t>(ns / 1000000000);
            ts.tv_nsec = static_cast<long>(ns % 1000000000);
            timeout = &ts;
        }
        const int ready = ::ppoll(fds.data(), fds.size(), timeout, &waitMask);
        if (ready < 0 && errno != EINTR) {
            std::fprintf(stderr, "kx30-emulator: ppoll: %s\n", std::strerror(errno));
            return 1;
        }
        if (ready <= 0) continue;
        // Connections accepted below are polled from the next round on.
        const std::size_t polled = fds.size() - 1;
        for (std::size_t i = 0; i < polled && !unplugged_; ++i) {
            Connection& c = connections_[i];
            const short rev = fds[i + 1].revents;
            if (rev & (POLLHUP | POLLERR)) c.hangupSeen = true;
            bool alive = true;
            if (rev & (POLLIN | POLLHUP | POLLERR)) {
                if (fds[i + 1].events & POLLIN)
                    alive = receiveOne(c);
            }
            if (alive && !unplugged_ && !c.outbox.empty() && (fds[i + 1].events & POLLOUT ||
                                                              !modes_.usbPacing))
                alive = sendPending(c);
            if (!alive) closeConnection(c);
        }
        if (unplugged_) {
            unplug();
            return 0;
        }
        std::erase_if(connections_, [](const Connection& c) { return c.fd < 0; });
        if (fds[0].revents & POLLIN) acceptAll();
    }
    return 0;
}

}  // namespace kx30emu
