#include "RawClient.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kx30test {

Report makeReport(std::initializer_list<std::uint8_t> payload) {
    Report r{};
    std::copy_n(payload.begin(), std::min<std::size_t>(payload.size(), 64), r.begin() + 1);
    return r;
}

Report filledReport(std::uint8_t fill) {
    Report r{};
    std::fill(r.begin() + 1, r.end(), fill);
    return r;
}

RawClient::~RawClient() { close(); }

bool RawClient::connect(const std::string& path) {
    close();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    fd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return false;
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        close();
        return false;
    }
    closed_ = false;
    return true;
}

void RawClient::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool RawClient::sendBytes(std::span<const std::uint8_t> bytes) {
    if (fd_ < 0) return false;
    for (;;) {
        pollfd p{fd_, POLLOUT, 0};
        const int r = ::poll(&p, 1, 5000);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0 || !(p.revents & POLLOUT)) return false;
        const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        return n == static_cast<ssize_t>(bytes.size());
    }
}

std::optional<Report> RawClient::receive(std::chrono::milliseconds timeout) {
    if (fd_ < 0) return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd_, POLLIN, 0};
        const int r = ::poll(&p, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return std::nullopt;
        Report report{};
        const ssize_t n = ::recv(fd_, report.data(), report.size(), MSG_DONTWAIT);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) {
            closed_ = true;
            return std::nullopt;
        }
        if (n != static_cast<ssize_t>(report.size())) return std::nullopt;
        return report;
    }
}

}  // namespace kx30test
