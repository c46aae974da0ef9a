#pragma once
// A scripted HTTP server on 127.0.0.1 for the net tests. It accepts on an
// ephemeral port on its own thread and hands each connection, one after
// another, to a script that reads requests and writes raw reply bytes, so a
// test can produce any reply, well formed or not. Every wait is bounded.

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackServer
{
public:
    // One accepted connection, as a script sees it.
    class Connection
    {
    public:
        Connection(int fd, LoopbackServer& server);

        // Reads one request head (through the blank line). False when the
        // peer closed, the server is stopping or nothing came within
        // timeoutMs.
        bool readRequest(std::string& head, int timeoutMs = 5000);
        // Writes all of data; false when the peer went away or stopped
        // reading for timeoutMs.
        bool send(const std::string& data, int timeoutMs = 5000);
        // Waits, without answering, until the peer closes, the server stops
        // or timeoutMs pass.
        void idle(int timeoutMs = 10000);
        void setSendBuffer(int bytes);

    private:
        int m_fd;
        LoopbackServer& m_server;
        std::string m_pending;
    };

    using Script = std::function<void(Connection&)>;
    using Responder = std::function<std::string(const std::string& requestHead)>;

    explicit LoopbackServer(Script script);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // A script that answers every request on a connection (keep-alive) with
    // what respond returns for it.
    static Script answering(Responder respond);
    // A reply "HTTP/1.1 <status>" with a Content-Length.
    static std::string reply(int status, const std::string& body, const std::string& extraHeaders = "");

    // A TCP socket bound to 127.0.0.1 on an ephemeral port (not listening).
    static int bindLoopbackSocket(int& port);

    int port() const { return m_port; }
    std::string url(const std::string& pathAndQuery) const;

    int connections() const { return m_connections.load(); }
    std::size_t bytesSent() const { return m_bytesSent.load(); }
    std::vector<std::string> requests() const;
    bool stopping() const { return m_stop.load(); }

private:
    void run();
    void record(const std::string& head);

    Script m_script;
    int m_listenFd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::atomic<std::size_t> m_bytesSent{0};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};
