#pragma once
// A loopback server for the faults a scripted reply cannot make: a
// connection reset (RST) by the server, at any point of the exchange. It
// accepts on 127.0.0.1 on an ephemeral port and hands each connection, one
// after another, to a script that works on the raw socket. Every wait is
// bounded, and the destructor stops a script that is still sending.

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>

class FaultServer {
public:
    class Connection {
    public:
        Connection(int fd, FaultServer& server) : m_fd(fd), m_server(server) {}
        // Reads through the blank line of a request head.
        bool ReadHead(std::string& head, int timeoutMs = 5000);
        bool Send(const std::string& data, int timeoutMs = 5000);
        // Sends data one byte at a time, gapMs apart, while the peer reads
        // and the server runs.
        bool Trickle(const std::string& data, int gapMs);
        // Closes with a reset instead of an orderly end.
        void Reset();
        // A small send buffer, so what the peer has not read stays here.
        void SetSendBuffer(int bytes);

    private:
        int m_fd;
        FaultServer& m_server;
        std::string m_pending;
    };
    using Script = std::function<void(Connection&)>;

    explicit FaultServer(Script script);
    ~FaultServer();
    FaultServer(const FaultServer&) = delete;
    FaultServer& operator=(const FaultServer&) = delete;

    int Port() const { return m_port; }
    std::string Host() const { return "127.0.0.1:" + std::to_string(m_port); }
    int Connections() const { return m_connections.load(); }
    std::size_t BytesSent() const { return m_bytesSent.load(); }
    bool Stopping() const { return m_stop.load(); }

private:
    void Run();

    Script m_script;
    int m_listenFd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::atomic<std::size_t> m_bytesSent{0};
    std::thread m_thread;
};
