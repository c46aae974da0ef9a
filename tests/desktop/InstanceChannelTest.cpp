// The single-instance channel: who becomes primary, what reaches the
// primary's handler, and what a hostile or broken client cannot do to it.
#include "CInstanceChannel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <future>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using ClaimStatus = CInstanceChannel::ClaimStatus;

void AppendU32(QByteArray& out, quint32 v)
{
    out.append(static_cast<char>(v >> 24)).append(static_cast<char>(v >> 16));
    out.append(static_cast<char>(v >> 8)).append(static_cast<char>(v));
}

QByteArray Frame(const QList<QByteArray>& paths)
{
    QByteArray payload;
    AppendU32(payload, static_cast<quint32>(paths.size()));
    for (const QByteArray& p : paths) {
        AppendU32(payload, static_cast<quint32>(p.size()));
        payload += p;
    }
    QByteArray frame("TVX1");
    AppendU32(frame, static_cast<quint32>(payload.size()));
    return frame + payload;
}

// Runs a blocking client off the main thread while the main thread keeps
// the primary's event loop turning.
template <class F>
auto RunAside(F f) -> decltype(f())
{
    auto future = std::async(std::launch::async, f);
    EXPECT_TRUE(QTest::qWaitFor(
        [&]() { return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 30000));
    return future.get();
}

struct Exchange {
    bool connected = false;
    bool closedByPeer = false;
    QByteArray reply;
};

// Sends raw bytes, then reads until the primary closes or the time is up.
Exchange RawExchange(const QString& path, const QByteArray& bytes, int timeoutMs)
{
    Exchange result;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(2000))
        return result;
    result.connected = true;
    if (!bytes.isEmpty()) {
        socket.write(bytes);
        while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(2000)) {
        }
    }
    const QDeadlineTimer deadline(timeoutMs);
    while (socket.state() == QLocalSocket::ConnectedState && !deadline.hasExpired()) {
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
        result.reply += socket.readAll();
    }
    result.reply += socket.readAll();
    result.closedByPeer = socket.state() != QLocalSocket::ConnectedState;
    return result;
}

class InstanceChannelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_runtime.isValid());
        ASSERT_TRUE(m_files.isValid());
        m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        m_savedTmp = qgetenv("TMPDIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        static int counter = 0;
        m_name = QStringLiteral("chan-%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    }
    void TearDown() override
    {
        Restore("XDG_RUNTIME_DIR", m_savedRuntime);
        Restore("TMPDIR", m_savedTmp);
    }
    static void Restore(const char* name, const QByteArray& value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QString MakeFile(const QString& relative)
    {
        const QString path = m_files.filePath(relative);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("3\n");
        return path;
    }

    std::unique_ptr<CInstanceChannel> ClaimPrimary()
    {
        ClaimStatus status = ClaimStatus::Unavailable;
        QString error;
        auto channel = CInstanceChannel::Claim(m_name, &status, &error);
        EXPECT_TRUE(channel) << qPrintable(error);
        EXPECT_EQ(status, ClaimStatus::Primary);
        if (channel)
            channel->SetOpenRequestHandler([this](const QStringList& paths) { m_requests << paths; });
        return channel;
    }

    QString SocketFile() const { return m_runtime.filePath(m_name + QStringLiteral(".socket")); }

    QTemporaryDir m_runtime;
    QTemporaryDir m_files;
    QByteArray m_savedRuntime;
    QByteArray m_savedTmp;
    QString m_name;
    QList<QStringList> m_requests;
};

TEST_F(InstanceChannelTest, OnlyTheFirstClaimBecomesPrimaryUntilItEnds)
{
    auto primary = ClaimPrimary();
    ASSERT_TRUE(primary);
    EXPECT_EQ(primary->SocketPath(), SocketFile());

    // Only this user may reach the socket.
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(SocketFile()).constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u);

    ClaimStatus status = ClaimStatus::Primary;
    QString error;
    EXPECT_FALSE(CInstanceChannel::Claim(m_name, &status, &error));
    EXPECT_EQ(status, ClaimStatus::OtherRunning);
    EXPECT_TRUE(error.isEmpty());
    // The rejected claim did not disturb the primary.
    EXPECT_TRUE(RunAside([this]() { return CInstanceChannel::SendToPrimary(m_name, {}, 5000); }));

    primary.reset();
    EXPECT_FALSE(QFile::exists(SocketFile()));
    auto next = ClaimPrimary();
    EXPECT_TRUE(next);
}

TEST_F(InstanceChannelTest, OnlyAbsolutePathsOfExistingRegularFilesArePassedOn)
{
    auto primary = ClaimPrimary();
    ASSERT_TRUE(primary);
    const QString plain = MakeFile(QStringLiteral("plain.quo"));
    const QString spaced = MakeFile(QStringLiteral("with space \"q\".quo"));
    ASSERT_TRUE(QDir(m_files.path()).mkdir(QStringLiteral("folder.quo")));
    const QString link = m_files.filePath(QStringLiteral("link.quo"));
    ASSERT_TRUE(QFile::link(plain, link));
    const QString fifo = m_files.filePath(QStringLiteral("fifo.quo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    const QStringList sent = {
        plain,
        QStringLiteral("plain.quo"),                           // relative
        m_files.filePath(QStringLiteral("folder.quo")),        // a folder
        m_files.filePath(QStringLiteral("missing.quo")),       // nothing there
        fifo,                                                  // not a regular file
        spaced,
        m_files.filePath(QStringLiteral("folder.quo/../plain.quo")), // cleaned
        link,                                                  // a link to a file is fine
    };
    int accepted = -1;
    EXPECT_TRUE(RunAside([&]() { return CInstanceChannel::SendToPrimary(m_name, sent, 5000, &accepted); }));
    EXPECT_EQ(accepted, 4);
    ASSERT_TRUE(QTest::qWaitFor([this]() { return !m_requests.isEmpty(); }, 5000));
    EXPECT_EQ(m_requests.value(0), QStringList({plain, spaced, plain, link}));

    // No paths: the primary is asked only to come to the front.
    EXPECT_TRUE(RunAside([&]() { return CInstanceChannel::SendToPrimary(m_name, {}, 5000, &accepted); }));
    EXPECT_EQ(accepted, 0);
    ASSERT_TRUE(QTest::qWaitFor([this]() { return m_requests.size() == 2; }, 5000));
    EXPECT_TRUE(m_requests.value(1).isEmpty());
}

TEST_F(InstanceChannelTest, SendingWithoutPrimaryOrBeyondTheLimitsFails)
{
    const QString file = MakeFile(QStringLiteral("a.quo"));
    EXPECT_FALSE(CInstanceChannel::SendToPrimary(m_name, {file}, 1000));

    auto primary = ClaimPrimary();
    ASSERT_TRUE(primary);
    QStringList many;
    for (int i = 0; i <= CInstanceChannel::MaxPaths; ++i)
        many << file;
    EXPECT_FALSE(CInstanceChannel::SendToPrimary(m_name, many, 1000));
    EXPECT_FALSE(CInstanceChannel::SendToPrimary(m_name, {QStringLiteral("/") + QString(5000, QLatin1Char('a'))}, 1000));
    EXPECT_FALSE(CInstanceChannel::SendToPrimary(m_name, {QString()}, 1000));
    EXPECT_FALSE(CInstanceChannel::SendToPrimary(QStringLiteral("../escape"), {file}, 1000));
    QTest::qWait(50);
    EXPECT_TRUE(m_requests.isEmpty());
}

TEST_F(InstanceChannelTest, MalformedMessagesAreDroppedAndThePrimaryKeepsServing)
{
    auto primary = ClaimPrimary();
    ASSERT_TRUE(primary);
    const QByteArray file = QFile::encodeName(MakeFile(QStringLiteral("a.quo")));

    QByteArray hugeLength("TVX1");
    AppendU32(hugeLength, 0xFFFFFFFFu);
    QByteArray overLimit("TVX1");
    AppendU32(overLimit, 70000);
    overLimit += QByteArray(70000, 'x');
    QByteArray tooManyPaths("TVX1");
    AppendU32(tooManyPaths, 4);
    AppendU32(tooManyPaths, CInstanceChannel::MaxPaths + 1);
    QByteArray pathPastEnd = Frame({file});
    pathPastEnd[11] = static_cast<char>(pathPastEnd.at(11) + 1); // count 2, one path
    QByteArray lengthPastEnd("TVX1");
    AppendU32(lengthPastEnd, 8);
    AppendU32(lengthPastEnd, 1);
    AppendU32(lengthPastEnd, 500);

    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"wrong magic", QByteArray("HELLO WORLD, OPEN /etc/passwd")},
        {"shell text", QByteArray("$(touch /tmp/x); ") + file},
        {"length beyond the limit", hugeLength},
        {"message beyond the limit", overLimit},
        {"too many paths", tooManyPaths},
        {"fewer paths than counted", pathPastEnd},
        {"path longer than the message", lengthPastEnd},
        {"bytes after the message", Frame({file}) + "extra"},
        {"NUL inside a path", Frame({file + QByteArray(1, '\0') + "x"})},
        {"empty path", Frame({QByteArray()})},
    };
    const QString socketPath = primary->SocketPath();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray bytes = c.bytes;
        const Exchange e = RunAside([&]() { return RawExchange(socketPath, bytes, 10000); });
        EXPECT_TRUE(e.connected);
        EXPECT_TRUE(e.closedByPeer);
        EXPECT_TRUE(e.reply.isEmpty());
    }
    QTest::qWait(50);
    EXPECT_TRUE(m_requests.isEmpty());

    // A well-formed request, sent in pieces, still gets through.
    const QByteArray good = Frame({file});
    const Exchange e = RunAside([&]() {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        Exchange r;
        r.connected = socket.waitForConnected(2000);
        for (char byte : good) {
            socket.write(&byte, 1);
            socket.waitForBytesWritten(2000);
        }
        while (r.reply.size() < 8 && socket.waitForReadyRead(5000))
            r.reply += socket.readAll();
        r.reply += socket.readAll();
        return r;
    });
    QByteArray expected("TVOK");
    AppendU32(expected, 1);
    EXPECT_EQ(e.reply, expected);
    ASSERT_TRUE(QTest::qWaitFor([this]() { return !m_requests.isEmpty(); }, 5000));
    EXPECT_EQ(m_requests.value(0), QStringList({QFile::decodeName(file)}));
}

TEST_F(InstanceChannelTest, SilentClientsAreDroppedWithoutBlockingOthers)
{
    auto primary = ClaimPrimary();
    ASSERT_TRUE(primary);
    const QString file = MakeFile(QStringLiteral("a.quo"));

    // Connected from this thread; the primary's loop turns in the waits.
    QLocalSocket silent;
    silent.connectToServer(primary->SocketPath());
    ASSERT_TRUE(silent.waitForConnected(2000));
    QLocalSocket halfHeader;
    halfHeader.connectToServer(primary->SocketPath());
    ASSERT_TRUE(halfHeader.waitForConnected(2000));
    halfHeader.write("TVX1\0\0", 6);
    halfHeader.flush();

    int accepted = 0;
    EXPECT_TRUE(RunAside([&]() { return CInstanceChannel::SendToPrimary(m_name, {file}, 2500, &accepted); }));
    EXPECT_EQ(accepted, 1);
    EXPECT_EQ(silent.state(), QLocalSocket::ConnectedState);

    EXPECT_TRUE(QTest::qWaitFor(
        [&]() {
            return silent.state() == QLocalSocket::UnconnectedState
                   && halfHeader.state() == QLocalSocket::UnconnectedState;
        },
        CInstanceChannel::ReadTimeoutMs + 10000));
    EXPECT_EQ(m_requests.size(), 1);
}

TEST_F(InstanceChannelTest, AKilledPrimaryLeavesNothingThatBlocksTheNextStart)
{
    QProcess holder;
    holder.setProgram(QCoreApplication::applicationFilePath());
    holder.setArguments({QStringLiteral("--hold-channel"), m_name});
    holder.start();
    QByteArray out;
    ASSERT_TRUE(QTest::qWaitFor(
        [&]() {
            out += holder.readAllStandardOutput();
            return out.contains("ready\n") || holder.state() == QProcess::NotRunning;
        },
        30000));
    ASSERT_TRUE(out.contains("ready\n")) << out.constData();

    // Another process is primary now: this one is the second start.
    ClaimStatus status = ClaimStatus::Primary;
    EXPECT_FALSE(CInstanceChannel::Claim(m_name, &status));
    EXPECT_EQ(status, ClaimStatus::OtherRunning);
    const QString file = MakeFile(QStringLiteral("handed over.quo"));
    int accepted = 0;
    EXPECT_TRUE(CInstanceChannel::SendToPrimary(m_name, {file}, 5000, &accepted));
    EXPECT_EQ(accepted, 1);
    EXPECT_TRUE(CInstanceChannel::SendToPrimary(m_name, {}, 5000));
    const QByteArray expected = "open " + QFile::encodeName(file) + "\nactivate\n";
    EXPECT_TRUE(QTest::qWaitFor(
        [&]() {
            out += holder.readAllStandardOutput();
            return out.contains(expected);
        },
        10000))
        << out.constData();

    holder.kill();
    ASSERT_TRUE(holder.waitForFinished(10000));
    // A crash leaves the socket and the lock behind.
    ASSERT_TRUE(QFile::exists(SocketFile()));
    ASSERT_TRUE(QFile::exists(m_runtime.filePath(m_name + QStringLiteral(".lock"))));

    auto primary = ClaimPrimary();
    ASSERT_TRUE(primary);
    EXPECT_TRUE(RunAside([&]() { return CInstanceChannel::SendToPrimary(m_name, {file}, 5000); }));
    ASSERT_TRUE(QTest::qWaitFor([this]() { return !m_requests.isEmpty(); }, 5000));
    EXPECT_EQ(m_requests.value(0), QStringList({file}));
}

TEST_F(InstanceChannelTest, ALiveLockHolderThatDoesNotListenIsNeverOverrun)
{
    // Another instance between locking and listening, or one that hangs:
    // a second primary must not appear beside it.
    QLockFile other(m_runtime.filePath(m_name + QStringLiteral(".lock")));
    other.setStaleLockTime(0);
    ASSERT_TRUE(other.tryLock(0));

    ClaimStatus status = ClaimStatus::Primary;
    QString error;
    EXPECT_FALSE(CInstanceChannel::Claim(m_name, &status, &error));
    EXPECT_EQ(status, ClaimStatus::Unavailable);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(SocketFile()));
}

TEST_F(InstanceChannelTest, TheRuntimeFolderMustBePrivate)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    const QString own = tmp.filePath(QStringLiteral("tarvex-runtime-%1").arg(::geteuid()));

    // XDG_RUNTIME_DIR is used as long as it is a private folder.
    EXPECT_EQ(CInstanceChannel::RuntimeFolder(), m_runtime.path());

    const struct {
        const char* what;
        QByteArray runtime;
    } fallbacks[] = {
        {"unset", QByteArray()},
        {"relative", QByteArray("runtime")},
        {"open to others", QByteArray("loose")},
    };
    const QString loose = tmp.filePath(QStringLiteral("loose"));
    ASSERT_TRUE(QDir().mkdir(loose));
    ASSERT_EQ(::chmod(QFile::encodeName(loose).constData(), 0755), 0);
    for (const auto& c : fallbacks) {
        SCOPED_TRACE(c.what);
        if (c.runtime.isNull())
            qunsetenv("XDG_RUNTIME_DIR");
        else if (c.runtime == "loose")
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(loose));
        else
            qputenv("XDG_RUNTIME_DIR", c.runtime);
        EXPECT_EQ(CInstanceChannel::RuntimeFolder(), own);
        struct stat st {};
        ASSERT_EQ(::lstat(QFile::encodeName(own).constData(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 077, 0u);
    }
    auto primary = ClaimPrimary();
    ASSERT_TRUE(primary);
    EXPECT_TRUE(primary->SocketPath().startsWith(own + QLatin1Char('/')));
    primary.reset();

    // A folder of that name that others can enter is not ours to use.
    ASSERT_EQ(::chmod(QFile::encodeName(own).constData(), 0777), 0);
    QString error;
    EXPECT_TRUE(CInstanceChannel::RuntimeFolder(&error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
    ClaimStatus status = ClaimStatus::Primary;
    EXPECT_FALSE(CInstanceChannel::Claim(m_name, &status, &error));
    EXPECT_EQ(status, ClaimStatus::Unavailable);
}

TEST_F(InstanceChannelTest, ConnectionsFromOtherUsersAreRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to connect as another user";
    // A folder and socket that anyone can reach, so only the peer check
    // stands between another user and the handler.
    QTemporaryDir open(QDir::rootPath() + QStringLiteral("tmp/tarvex-peer-XXXXXX"));
    ASSERT_TRUE(open.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(open.path()));
    auto primary = ClaimPrimary();
    ASSERT_TRUE(primary);
    ASSERT_EQ(::chmod(QFile::encodeName(open.path()).constData(), 0711), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(primary->SocketPath()).constData(), 0777), 0);

    const QByteArray frame = Frame({QFile::encodeName(MakeFile(QStringLiteral("a.quo")))});
    const QByteArray socketPath = QFile::encodeName(primary->SocketPath());
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(socketPath.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.constData(), static_cast<size_t>(socketPath.size()));

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // Only plain system calls in the child of a threaded process.
        ::alarm(20);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            ::_exit(2);
        if (::write(fd, frame.constData(), static_cast<size_t>(frame.size())) != frame.size())
            ::_exit(4);
        char reply[8];
        const ssize_t n = ::read(fd, reply, sizeof reply);
        ::_exit(n > 0 ? 1 : 0);
    }
    int wstatus = 0;
    EXPECT_TRUE(QTest::qWaitFor([&]() { return ::waitpid(pid, &wstatus, WNOHANG) == pid; }, 30000));
    ASSERT_TRUE(WIFEXITED(wstatus));
    EXPECT_EQ(WEXITSTATUS(wstatus), 0) << "1: answered, 2: could not connect, 3: setuid failed";
    QTest::qWait(50);
    EXPECT_TRUE(m_requests.isEmpty());

    // The owner still gets through (once the folder is private again,
    // or the sender would look elsewhere).
    ASSERT_EQ(::chmod(QFile::encodeName(open.path()).constData(), 0700), 0);
    EXPECT_TRUE(RunAside([this]() { return CInstanceChannel::SendToPrimary(m_name, {}, 5000); }));
}

} // namespace
