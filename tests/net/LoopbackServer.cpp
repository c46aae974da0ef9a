#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace {

constexpr int kSliceMs = 50;

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(left < kSliceMs ? left : kSliceMs);
}

} // namespace

int LoopbackServer::bindLoopbackSocket(int& port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error("socket failed");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = 0;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0
        || getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        close(fd);
        throw std::runtime_error("bind failed");
    }
    port = ntohs(addr.sin_port);
    return fd;
}

LoopbackServer::Connection::Connection(int fd, LoopbackServer& server)
    : m_fd(fd)
    , m_server(server)
{
}

bool LoopbackServer::Connection::readRequest(std::string& head, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t end = m_pending.find("\r\n\r\n");
        if (end != std::string::npos) {
            head = m_pending.substr(0, end + 4);
            m_pending.erase(0, end + 4);
            m_server.record(head);
            return true;
        }
        if (m_server.stopping() || m_pending.size() > 65536)
            return false;
        const int wait = msLeft(deadline);
        if (wait == 0)
            return false;
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, wait) <= 0)
            continue;
        char buf[4096];
        const ssize_t n = recv(m_fd, buf, sizeof buf, 0);
        if (n <= 0)
            return false;
        m_pending.append(buf, static_cast<std::size_t>(n));
    }
}

bool LoopbackServer::Connection::send(const std::string& data, int timeoutMs)
{
    std::size_t done = 0;
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (done < data.size()) {
        if (m_server.stopping())
            return false;
        const int wait = msLeft(deadline);
        if (wait == 0)
            return false;
        pollfd p{m_fd, POLLOUT, 0};
        if (poll(&p, 1, wait) <= 0)
            continue;
        if ((p.revents & (POLLERR | POLLHUP)) != 0)
            return false;
        const ssize_t n = ::send(m_fd, data.data() + done, data.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
        m_server.m_bytesSent += static_cast<std::size_t>(n);
        deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    }
    return true;
}

void LoopbackServer::Connection::idle(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!m_server.stopping()) {
        const int wait = msLeft(deadline);
        if (wait == 0)
            return;
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, wait) <= 0)
            continue;
        char buf[4096];
        if (recv(m_fd, buf, sizeof buf, 0) <= 0)
            return;
    }
}

void LoopbackServer::Connection::setSendBuffer(int bytes)
{
    setsockopt(m_fd, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
}

LoopbackServer::LoopbackServer(Script script)
    : m_script(std::move(script))
{
    m_listenFd = bindLoopbackSocket(m_port);
    if (listen(m_listenFd, 16) != 0) {
        close(m_listenFd);
        throw std::runtime_error("listen failed");
    }
    m_thread = std::thread([this] { run(); });
}

LoopbackServer::~LoopbackServer()
{
    m_stop = true;
    m_thread.join();
    close(m_listenFd);
}

LoopbackServer::Script LoopbackServer::answering(Responder respond)
{
    return [respond](Connection& connection) {
        std::string head;
        while (connection.readRequest(head)) {
            if (!connection.send(respond(head)))
                return;
        }
    };
}

std::string LoopbackServer::url(const std::string& pathAndQuery) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + pathAndQuery;
}

std::vector<std::string> LoopbackServer::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void LoopbackServer::record(const std::string& head)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.push_back(head);
}

void LoopbackServer::run()
{
    while (!m_stop) {
        pollfd p{m_listenFd, POLLIN, 0};
        if (poll(&p, 1, kSliceMs) <= 0)
            continue;
        const int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++m_connections;
        Connection connection(fd, *this);
        m_script(connection);
        close(fd);
    }
}

std::string LoopbackServer::reply(int status, const std::string& body, const std::string& extraHeaders)
{
    return "HTTP/1.1 " + std::to_string(status) + " Whatever\r\nContent-Length: "
        + std::to_string(body.size()) + "\r\n" + extraHeaders + "\r\n" + body;
}
