// Runs the real tarvex-quoteserver executable on an ephemeral loopback port.

#include "QuoteMarket.h"
#include "QuoteService.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// One run of the server with its standard output and error in pipes.
class ServerProcess
{
public:
    explicit ServerProcess(const std::vector<std::string>& args)
    {
        int out[2];
        int err[2];
        if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], 1);
            dup2(err[1], 2);
            std::vector<char*> argv;
            std::string exe = TARVEX_QUOTESERVER;
            argv.push_back(exe.data());
            std::vector<std::string> copy = args;
            for (std::string& a : copy)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(exe.c_str(), argv.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        m_out = out[0];
        m_err = err[0];
    }

    ~ServerProcess()
    {
        if (m_pid > 0 && !m_reaped) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0)
            close(m_out);
        if (m_err >= 0)
            close(m_err);
    }

    // The first line on standard output, or "" if none came in time.
    std::string firstLine(int timeoutMs = 10000)
    {
        std::string line;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < deadline) {
            pollfd p{m_out, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0)
                continue;
            char c = 0;
            if (read(m_out, &c, 1) != 1)
                break;
            if (c == '\n')
                return line;
            line += c;
        }
        return std::string();
    }

    // The exit status, or -1 when it did not end in time.
    int waitForExit(int timeoutMs = 10000)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < deadline) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_reaped = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

    // What the process wrote to standard error (once it has ended).
    std::string errorOutput()
    {
        std::string text;
        char buf[4096];
        fcntl(m_err, F_SETFL, O_NONBLOCK);
        ssize_t n = 0;
        while ((n = read(m_err, buf, sizeof buf)) > 0)
            text.append(buf, static_cast<std::size_t>(n));
        return text;
    }

    std::string standardOutput()
    {
        std::string text;
        char buf[4096];
        fcntl(m_out, F_SETFL, O_NONBLOCK);
        ssize_t n = 0;
        while ((n = read(m_out, buf, sizeof buf)) > 0)
            text.append(buf, static_cast<std::size_t>(n));
        return text;
    }

    void signal(int sig) { kill(m_pid, sig); }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    bool m_reaped = false;
};

} // namespace

TEST(QuoteServerProcess, ServesQuotesOnAnEphemeralPortAndStopsCleanly)
{
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        ServerProcess server({"--port", "0", "--seed", "77"});
        const std::string line = server.firstLine();
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, std::regex("listening on 127\\.0\\.0\\.1:([0-9]+)"))) << line;
        const int port = std::stoi(m[1]);
        ASSERT_GT(port, 0);

        httplib::Client client("127.0.0.1", port);
        client.set_connection_timeout(5, 0);
        client.set_read_timeout(5, 0);
        client.set_url_encode(false); // a "+" must stay a separator
        const std::string target = "/cgi-bin/squote.exe?SOURCE=msn&format=fraction&tables=table&TICKER=ABC+XYZ";
        auto res = client.Get(target.c_str());
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 200);
        // The process serves what the library renders for the same seed.
        QuoteMarket market(77);
        QuoteService service(market);
        EXPECT_EQ(res->body, service.get(target).body);

        for (const char* bad : {"/", "/cgi-bin/squote.exe?SOURCE=msn", "/cgi-bin/squote.exe?TICKER=%0A"}) {
            auto r = client.Get(bad);
            ASSERT_TRUE(r);
            EXPECT_GE(r->status, 400) << bad;
            EXPECT_LT(r->status, 500) << bad;
            EXPECT_EQ(r->body.find("<table"), std::string::npos) << bad;
        }
        // Longer than the server takes.
        auto tooLong = client.Get(("/cgi-bin/squote.exe?TICKER=" + std::string(9000, 'A')).c_str());
        if (tooLong) {
            EXPECT_GE(tooLong->status, 400);
            EXPECT_EQ(tooLong->body.find("<table"), std::string::npos);
        }

        server.signal(sig);
        EXPECT_EQ(server.waitForExit(), 0);
        const std::string log = server.errorOutput();
        EXPECT_NE(log.find("GET /cgi-bin/squote.exe?SOURCE=msn&format=fraction&tables=table&TICKER=ABC+XYZ 200"),
                  std::string::npos)
            << log;
    }
}

TEST(QuoteServerProcess, OptionsAreChecked)
{
    {
        ServerProcess help({"--help"});
        EXPECT_EQ(help.waitForExit(), 0);
        EXPECT_NE(help.standardOutput().find("--seed"), std::string::npos);
    }
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"}, {"--port"}, {"--port", "70000"}, {"--port", "-1"}, {"--port", "12x"},
        {"--seed", "abc"}, {"extra"}, {"--bind", ""},
    };
    for (const auto& args : bad) {
        SCOPED_TRACE(args[0] + (args.size() > 1 ? " " + args[1] : std::string()));
        ServerProcess server(args);
        EXPECT_EQ(server.waitForExit(), 2);
        EXPECT_NE(server.errorOutput().find("Usage"), std::string::npos);
    }
    ServerProcess missingFile({"--port", "0", "--quotes", "/nonexistent/quotes.csv"});
    EXPECT_EQ(missingFile.waitForExit(), 1);
}
