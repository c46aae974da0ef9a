#include "FaultServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSliceMs = 50;

// Waits for fd to be ready in slices, so a stopping server is noticed.
bool WaitFor(int fd, short events, int timeoutMs, const std::atomic<bool>& stop)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!stop.load() && Clock::now() < deadline) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, kSliceMs);
        if (n > 0)
            return true;
    }
    return false;
}

} // namespace

FaultServer::FaultServer(Script script) : m_script(std::move(script))
{
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0)
        throw std::runtime_error("socket failed");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&addr), &len) != 0 || ::listen(m_listenFd, 8) != 0) {
        ::close(m_listenFd);
        throw std::runtime_error("bind or listen failed");
    }
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { Run(); });
}

FaultServer::~FaultServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_listenFd);
}

void FaultServer::Run()
{
    while (!m_stop.load()) {
        if (!WaitFor(m_listenFd, POLLIN, 200, m_stop))
            continue;
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++m_connections;
        Connection connection(fd, *this);
        try {
            m_script(connection);
        } catch (...) {
        }
        ::close(fd);
    }
}

bool FaultServer::Connection::ReadHead(std::string& head, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t end = m_pending.find("\r\n\r\n");
        if (end != std::string::npos) {
            head = m_pending.substr(0, end + 4);
            m_pending.erase(0, end + 4);
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || !WaitFor(m_fd, POLLIN, static_cast<int>(left), m_server.m_stop))
            return false;
        char buffer[4096];
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        m_pending.append(buffer, static_cast<std::size_t>(n));
    }
}

bool FaultServer::Connection::Send(const std::string& data, int timeoutMs)
{
    std::size_t done = 0;
    while (done < data.size()) {
        if (!WaitFor(m_fd, POLLOUT, timeoutMs, m_server.m_stop))
            return false;
        const ssize_t n = ::send(m_fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
        m_server.m_bytesSent += static_cast<std::size_t>(n);
    }
    return true;
}

bool FaultServer::Connection::Trickle(const std::string& data, int gapMs)
{
    for (char c : data) {
        if (!Send(std::string(1, c)))
            return false;
        const auto until = Clock::now() + std::chrono::milliseconds(gapMs);
        while (Clock::now() < until) {
            if (m_server.Stopping())
                return false;
            // A peer that gave up shows as a readable end of stream.
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, kSliceMs) > 0) {
                char probe;
                if (::recv(m_fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT) == 0)
                    return false;
            }
        }
    }
    return true;
}

void FaultServer::Connection::Reset()
{
    // A zero linger time turns the close into a reset.
    linger l{1, 0};
    ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
}

void FaultServer::Connection::SetSendBuffer(int bytes)
{
    ::setsockopt(m_fd, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
}
