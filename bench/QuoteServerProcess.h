#pragma once
// The companion quote server as a child process on an ephemeral loopback
// port, stopped with SIGTERM when this object goes. Its request log goes to
// a file so that the requests it answered can be counted.

#include <string>

#include <sys/types.h>

class QuoteServerProcess {
public:
    QuoteServerProcess(const std::string& strExe, const std::string& strLogFile);
    ~QuoteServerProcess();
    QuoteServerProcess(const QuoteServerProcess&) = delete;
    QuoteServerProcess& operator=(const QuoteServerProcess&) = delete;

    // "127.0.0.1:PORT", or "" when the server did not start.
    const std::string& Host() const { return m_strHost; }
    int Port() const { return m_nPort; }
    // The requests logged so far.
    int RequestCount() const;

private:
    pid_t m_pid = -1;
    int m_fdOut = -1;
    int m_nPort = 0;
    std::string m_strHost;
    std::string m_strLogFile;
};
