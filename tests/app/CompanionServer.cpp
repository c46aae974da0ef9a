#include "CompanionServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

bool WaitForExit(pid_t pid, int ms)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < deadline) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

CompanionServer::CompanionServer(int seed)
{
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return;
    const std::string exe = TARVEX_BINARY_DIR "/quoteserver/tarvex-quoteserver";
    const std::string seedText = std::to_string(seed);
    m_pid = fork();
    if (m_pid == 0) {
        dup2(out[1], 1);
        const int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0)
            dup2(devnull, 2); // one line per request: nobody reads them
        std::vector<std::string> args = { exe, "--port", "0", "--seed", seedText };
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(exe.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);
    std::string line;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (m_pid > 0 && Clock::now() < deadline) {
        pollfd p{ out[0], POLLIN, 0 };
        if (poll(&p, 1, 50) <= 0)
            continue;
        char c = 0;
        if (read(out[0], &c, 1) != 1 || c == '\n')
            break;
        line += c;
    }
    // Kept open: the server may write more, and must not die of it.
    m_out = out[0];
    std::smatch m;
    if (std::regex_match(line, m, std::regex("listening on (127\\.0\\.0\\.1:[0-9]+)")))
        m_host = m[1];
}

CompanionServer::~CompanionServer()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    if (!WaitForExit(m_pid, 10000)) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0)
        close(m_out);
}
