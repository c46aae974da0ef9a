#pragma once
// The real companion quote server, run as a child process on an ephemeral
// loopback port for the length of one test, and stopped with SIGTERM.

#include <string>

#include <sys/types.h>

class CompanionServer {
public:
    explicit CompanionServer(int seed = 7);
    ~CompanionServer();
    CompanionServer(const CompanionServer&) = delete;
    CompanionServer& operator=(const CompanionServer&) = delete;

    // "127.0.0.1:PORT", or "" when the server did not start.
    const std::string& host() const { return m_host; }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_host;
};
