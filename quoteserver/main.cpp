// tarvex-quoteserver: a quote server for trying out and testing the program
// without the network. See --help.

#include "QuoteMarket.h"
#include "QuotePage.h"
#include "QuoteService.h"

#include <httplib.h>

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

namespace {

const char kUsage[] =
    "Usage: tarvex-quoteserver [options]\n"
    "Serves simulated stock quotes at /cgi-bin/squote.exe?...&TICKER=SYM1+SYM2.\n"
    "\n"
    "  --bind ADDR     address to listen on (default 127.0.0.1, loopback only)\n"
    "  --port N        port to listen on (default 8642; 0 picks a free one)\n"
    "  --seed N        seed of the simulated market (default 1); the same seed\n"
    "                  and the same requests give the same quotes\n"
    "  --quotes FILE   fixed quotes for some symbols, CSV lines of\n"
    "                  symbol,last[,change[,open[,high[,low[,volume[,time]]]]]]\n"
    "                  (prices as 12.25 or 12 1/4, time as H:MM)\n"
    "  --help          show this text\n"
    "\n"
    "The first line on standard output is \"listening on ADDR:PORT\". One line\n"
    "per request goes to standard error. SIGINT or SIGTERM stops the server.\n";

struct Options
{
    std::string bind = "127.0.0.1";
    int port = 8642;
    std::uint64_t seed = 1;
    std::string quotesFile;
};

bool parseNumber(const char* text, unsigned long long max, unsigned long long& value)
{
    if (text == nullptr || *text < '0' || *text > '9')
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && *end == '\0' && value <= max;
}

// 0: run; 1: --help shown; 2: bad options.
int parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool hasValue = false;
        const std::size_t eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasValue = true;
        }
        if (arg == "--help" && !hasValue)
            return 1;
        if (arg != "--bind" && arg != "--port" && arg != "--seed" && arg != "--quotes") {
            std::fprintf(stderr, "tarvex-quoteserver: unknown option '%s'\n", argv[i]);
            return 2;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "tarvex-quoteserver: %s needs a value\n", arg.c_str());
                return 2;
            }
            value = argv[++i];
        }
        unsigned long long n = 0;
        if (arg == "--bind") {
            if (value.empty()) {
                std::fprintf(stderr, "tarvex-quoteserver: --bind needs an address\n");
                return 2;
            }
            options.bind = value;
        } else if (arg == "--port") {
            if (!parseNumber(value.c_str(), 65535, n)) {
                std::fprintf(stderr, "tarvex-quoteserver: bad port '%s'\n", value.c_str());
                return 2;
            }
            options.port = static_cast<int>(n);
        } else if (arg == "--seed") {
            if (!parseNumber(value.c_str(), ~0ull, n)) {
                std::fprintf(stderr, "tarvex-quoteserver: bad seed '%s'\n", value.c_str());
                return 2;
            }
            options.seed = n;
        } else {
            options.quotesFile = value;
        }
    }
    return 0;
}

// Request targets go to the log with control bytes made visible, so a
// request cannot forge log lines.
std::string printable(const std::string& text)
{
    std::string out;
    for (char c : text.substr(0, 200)) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        } else {
            out += c;
        }
    }
    return text.size() > 200 ? out + "..." : out;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    const int parsed = parseOptions(argc, argv, options);
    if (parsed == 1) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (parsed == 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    QuoteMarket market(options.seed);
    if (!options.quotesFile.empty()) {
        std::ifstream in(options.quotesFile);
        std::string error;
        if (!in) {
            std::fprintf(stderr, "tarvex-quoteserver: cannot open %s\n", options.quotesFile.c_str());
            return 1;
        }
        if (!market.loadFixedQuotes(in, error)) {
            std::fprintf(stderr, "tarvex-quoteserver: %s: %s\n", options.quotesFile.c_str(), error.c_str());
            return 1;
        }
    }
    QuoteService service(market);

    // Signals are taken by one thread with sigwait; every other thread,
    // httplib's workers included, inherits the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    httplib::Server server;
    server.set_payload_max_length(8192);
    server.set_read_timeout(5, 0);
    // Back-to-back refreshes of a client's pages share one kept-alive
    // connection (an idle one still closes after the library's 5 s, which
    // also bounds how long a stop waits); small replies leave at once.
    server.set_keep_alive_max_count(100000);
    server.set_tcp_nodelay(true);
    server.set_write_timeout(5, 0);

    std::mutex logMutex;
    server.set_logger([&logMutex](const httplib::Request& req, const httplib::Response& res) {
        std::lock_guard<std::mutex> lock(logMutex);
        std::fprintf(stderr, "%s %s %s %d\n", req.remote_addr.c_str(), printable(req.method).c_str(),
                     printable(req.target).c_str(), res.status);
    });
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) {
            const char* reason = res.status == 400 ? "Bad Request"
                : res.status == 404                ? "Not Found"
                : res.status == 405                ? "Method Not Allowed"
                : res.status == 413                ? "Payload Too Large"
                : res.status == 414                ? "URI Too Long"
                                                   : "Error";
            res.set_content(QuotePage::errorPage(res.status, reason, "The request was not understood."),
                            "text/html");
        }
    });
    server.Get(".*", [&service](const httplib::Request& req, httplib::Response& res) {
        const QuoteReply reply = service.get(req.target);
        res.status = reply.status;
        res.set_content(reply.body, "text/html");
    });

    // The library's default shares the port with any other listener
    // (SO_REUSEPORT), which would let a second server start on a port that
    // is in use and split the clients between the two. Reusing the address
    // of a recently closed socket is all that is wanted.
    server.set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    });

    int port = options.port;
    if (port == 0) {
        port = server.bind_to_any_port(options.bind);
        if (port < 0)
            port = 0;
    } else if (!server.bind_to_port(options.bind, port)) {
        port = 0;
    }
    if (port == 0) {
        std::fprintf(stderr, "tarvex-quoteserver: cannot listen on %s port %d\n", options.bind.c_str(),
                     options.port);
        return 1;
    }
    const bool v6 = options.bind.find(':') != std::string::npos;
    std::printf("listening on %s%s%s:%d\n", v6 ? "[" : "", options.bind.c_str(), v6 ? "]" : "", port);
    std::fflush(stdout);

    std::atomic<bool> signalled{false};
    std::atomic<bool> finished{false};
    std::thread stopper([&] {
        int signalNumber = 0;
        sigwait(&stopSignals, &signalNumber);
        if (finished)
            return;
        signalled = true;
        // stop() is a no-op until the server loop is running; repeat it
        // until that loop has ended.
        while (!finished) {
            server.stop();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const bool ran = server.listen_after_bind();
    finished = true;
    const bool bySignal = signalled;
    if (!bySignal)
        pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    static_cast<void>(ran);
    if (!bySignal) {
        std::fprintf(stderr, "tarvex-quoteserver: the server stopped unexpectedly\n");
        return 1;
    }
    std::fprintf(stderr, "tarvex-quoteserver: stopped\n");
    return 0;
}
