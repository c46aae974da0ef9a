#include "QuoteServerProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

bool WaitForExit(pid_t pid, int nMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(nMs);
    while (Clock::now() < deadline) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

QuoteServerProcess::QuoteServerProcess(const std::string& strExe, const std::string& strLogFile)
    : m_strLogFile(strLogFile)
{
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return;
    m_pid = fork();
    if (m_pid == 0) {
        dup2(out[1], 1);
        const int fdLog = open(strLogFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fdLog >= 0)
            dup2(fdLog, 2);
        std::vector<std::string> args = {strExe, "--port", "0", "--seed", "1"};
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(strExe.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);
    std::string line;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (m_pid > 0 && Clock::now() < deadline) {
        pollfd pfd{out[0], POLLIN, 0};
        if (poll(&pfd, 1, 50) <= 0)
            continue;
        char ch = 0;
        if (read(out[0], &ch, 1) != 1 || ch == '\n')
            break;
        line += ch;
    }
    m_fdOut = out[0];
    static const char kPrefix[] = "listening on 127.0.0.1:";
    if (line.rfind(kPrefix, 0) == 0) {
        m_nPort = std::atoi(line.c_str() + sizeof kPrefix - 1);
        if (m_nPort > 0)
            m_strHost = "127.0.0.1:" + std::to_string(m_nPort);
    }
}

QuoteServerProcess::~QuoteServerProcess()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        if (!WaitForExit(m_pid, 10000)) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    if (m_fdOut >= 0)
        close(m_fdOut);
    unlink(m_strLogFile.c_str());
}

int QuoteServerProcess::RequestCount() const
{
    std::ifstream log(m_strLogFile);
    int nLines = 0;
    for (std::string line; std::getline(log, line);) {
        if (line.find(" GET ") != std::string::npos)
            ++nLines;
    }
    return nLines;
}
