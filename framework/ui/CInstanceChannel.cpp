#include "CInstanceChannel.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr char kRequestMagic[4] = {'T', 'V', 'X', '1'};
constexpr char kReplyMagic[4] = {'T', 'V', 'O', 'K'};
constexpr int kHeaderBytes = 8;
// How long Claim waits for an instance that holds the lock to start
// answering (it listens right after locking).
constexpr int kClaimWaitMs = 3000;
constexpr int kProbeMs = 300;

void AppendU32(QByteArray& out, quint32 value)
{
    const char bytes[4] = {static_cast<char>((value >> 24) & 0xFF), static_cast<char>((value >> 16) & 0xFF),
                           static_cast<char>((value >> 8) & 0xFF), static_cast<char>(value & 0xFF)};
    out.append(bytes, 4);
}

quint32 ReadU32(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return (quint32(u[0]) << 24) | (quint32(u[1]) << 16) | (quint32(u[2]) << 8) | quint32(u[3]);
}

bool IsValidName(const QString& name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9._-]{0,63}$"));
    return re.match(name).hasMatch();
}

// A folder only this user can enter: anything else could let another
// user replace our socket or lock.
bool IsPrivateFolder(const QByteArray& path, QString* pError)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) {
        if (pError)
            *pError = QStringLiteral("%1: %2").arg(QFile::decodeName(path), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0) {
        if (pError)
            *pError = QStringLiteral("%1 is not a folder private to this user").arg(QFile::decodeName(path));
        return false;
    }
    return true;
}

bool IsRegularFile(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PeerIsSameUser(qintptr fd)
{
    struct ucred cred {};
    socklen_t len = sizeof cred;
    if (::getsockopt(static_cast<int>(fd), SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || len != sizeof cred)
        return false;
    return cred.uid == ::geteuid();
}

// True when something listens on `path` now.
bool Probe(const QString& path, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    const bool connected = socket.waitForConnected(timeoutMs);
    socket.abort();
    return connected;
}

QString PathFor(const QString& folder, const QString& name, const char* suffix)
{
    return folder + QLatin1Char('/') + name + QLatin1String(suffix);
}

bool FitsSocketAddress(const QString& path)
{
    return QFile::encodeName(path).size() < static_cast<qsizetype>(sizeof(sockaddr_un{}.sun_path));
}

} // namespace

struct CInstanceChannel::Client {
    QByteArray buffer;
};

CInstanceChannel::CInstanceChannel() = default;

CInstanceChannel::~CInstanceChannel()
{
    if (m_pServer) {
        // Sockets are the server's children; stop their callbacks into
        // this half-destroyed object before they go.
        for (QLocalSocket* pSocket : m_pServer->findChildren<QLocalSocket*>())
            pSocket->disconnect();
        m_pServer->disconnect();
        m_pServer->close();
        m_pServer.reset();
    }
    m_clients.clear();
    if (m_pLock)
        m_pLock->unlock();
}

QString CInstanceChannel::ChannelName(const QString& appName)
{
    QString clean;
    for (QChar c : appName.toLower()) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            || c == QLatin1Char('.') || c == QLatin1Char('_') || c == QLatin1Char('-'))
            clean += c;
    }
    while (clean.startsWith(QLatin1Char('.')))
        clean.remove(0, 1);
    if (clean.isEmpty())
        clean = QStringLiteral("app");
    return clean.left(40) + QLatin1Char('-') + QString::number(::geteuid());
}

QString CInstanceChannel::RuntimeFolder(QString* pError)
{
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (xdg.startsWith('/') && IsPrivateFolder(xdg, nullptr))
        return QDir::cleanPath(QFile::decodeName(xdg));

    const QString own = QDir::tempPath() + QStringLiteral("/tarvex-runtime-") + QString::number(::geteuid());
    const QByteArray encoded = QFile::encodeName(own);
    if (::mkdir(encoded.constData(), 0700) != 0 && errno != EEXIST) {
        if (pError)
            *pError = QStringLiteral("Cannot create %1: %2").arg(own, QString::fromLocal8Bit(std::strerror(errno)));
        return QString();
    }
    // It may have been there before us, made by someone else.
    if (!IsPrivateFolder(encoded, pError))
        return QString();
    return own;
}

QString CInstanceChannel::SocketPath() const
{
    return m_pServer ? m_pServer->fullServerName() : QString();
}

std::unique_ptr<CInstanceChannel> CInstanceChannel::Claim(const QString& name, ClaimStatus* pStatus, QString* pError)
{
    ClaimStatus status = ClaimStatus::Unavailable;
    QString error;
    std::unique_ptr<CInstanceChannel> result;
    auto finish = [&]() {
        if (pStatus)
            *pStatus = status;
        if (pError)
            *pError = error;
        return std::move(result);
    };

    if (!IsValidName(name)) {
        error = QStringLiteral("Invalid instance channel name \"%1\"").arg(name);
        return finish();
    }
    const QString folder = RuntimeFolder(&error);
    if (folder.isEmpty())
        return finish();
    const QString socketPath = PathFor(folder, name, ".socket");
    if (!FitsSocketAddress(socketPath)) {
        error = QStringLiteral("Socket path too long: %1").arg(socketPath);
        return finish();
    }

    // Listening first would not tell us anything: with an access option
    // QLocalServer::listen replaces a live instance's socket without a
    // word. So ask whether someone answers, then decide under the lock.
    if (Probe(socketPath, kProbeMs)) {
        status = ClaimStatus::OtherRunning;
        return finish();
    }

    auto pLock = std::make_unique<QLockFile>(PathFor(folder, name, ".lock"));
    // The lock is held for the primary's whole run: age says nothing,
    // only a holder that has gone makes it stale.
    pLock->setStaleLockTime(0);
    const QDeadlineTimer deadline(kClaimWaitMs);
    while (!pLock->tryLock(0)) {
        if (pLock->error() != QLockFile::LockFailedError) {
            error = QStringLiteral("Cannot create the lock file %1").arg(PathFor(folder, name, ".lock"));
            return finish();
        }
        // Another instance holds it: it is starting up or running.
        if (Probe(socketPath, kProbeMs)) {
            status = ClaimStatus::OtherRunning;
            return finish();
        }
        if (deadline.hasExpired()) {
            error = QStringLiteral("Another instance holds %1 but does not answer").arg(PathFor(folder, name, ".lock"));
            return finish();
        }
        QThread::msleep(50);
    }

    if (Probe(socketPath, kProbeMs)) {
        status = ClaimStatus::OtherRunning;
        return finish();
    }
    // Whatever is left at the socket path belongs to an instance that died.
    QLocalServer::removeServer(socketPath);

    result.reset(new CInstanceChannel());
    result->m_pLock = std::move(pLock);
    result->m_pServer = std::make_unique<QLocalServer>();
    result->m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!result->m_pServer->listen(socketPath)) {
        error = QStringLiteral("Cannot listen on %1: %2").arg(socketPath, result->m_pServer->errorString());
        result.reset();
        return finish();
    }
    CInstanceChannel* pThis = result.get();
    QObject::connect(result->m_pServer.get(), &QLocalServer::newConnection, result->m_pServer.get(),
                     [pThis]() { pThis->OnNewConnection(); });
    status = ClaimStatus::Primary;
    return finish();
}

void CInstanceChannel::OnNewConnection()
{
    while (QLocalSocket* pSocket = m_pServer->nextPendingConnection()) {
        if (static_cast<int>(m_clients.size()) >= MaxClients || !PeerIsSameUser(pSocket->socketDescriptor())) {
            pSocket->abort();
            pSocket->deleteLater();
            continue;
        }
        m_clients.emplace(pSocket, std::make_unique<Client>());
        // A client that stalls must not hold a slot for long.
        QTimer::singleShot(ReadTimeoutMs, pSocket, [this, pSocket]() { Finish(pSocket); });
        QObject::connect(pSocket, &QLocalSocket::readyRead, pSocket, [this, pSocket]() { OnReadyRead(pSocket); });
        QObject::connect(pSocket, &QLocalSocket::disconnected, pSocket, [this, pSocket]() { Finish(pSocket); });
        if (pSocket->bytesAvailable() > 0)
            OnReadyRead(pSocket);
    }
}

void CInstanceChannel::Finish(QLocalSocket* pSocket)
{
    if (m_clients.erase(pSocket) == 0)
        return;
    pSocket->disconnect();
    pSocket->abort();
    pSocket->deleteLater();
}

void CInstanceChannel::OnReadyRead(QLocalSocket* pSocket)
{
    const auto it = m_clients.find(pSocket);
    if (it == m_clients.end())
        return;
    QByteArray& buffer = it->second->buffer;
    // Never take in more than one byte past the limit.
    buffer += pSocket->read(MaxMessageBytes + 1 - buffer.size());
    if (buffer.size() > MaxMessageBytes) {
        Finish(pSocket);
        return;
    }
    const qsizetype magicSeen = std::min<qsizetype>(buffer.size(), 4);
    if (std::memcmp(buffer.constData(), kRequestMagic, static_cast<size_t>(magicSeen)) != 0) {
        Finish(pSocket);
        return;
    }
    if (buffer.size() < kHeaderBytes)
        return;
    const quint32 payloadBytes = ReadU32(buffer.constData() + 4);
    if (payloadBytes > quint32(MaxMessageBytes - kHeaderBytes)) {
        Finish(pSocket);
        return;
    }
    const qsizetype frameBytes = kHeaderBytes + static_cast<qsizetype>(payloadBytes);
    if (buffer.size() < frameBytes)
        return;
    if (buffer.size() > frameBytes) {
        Finish(pSocket);
        return;
    }

    // The payload: a count, then that many length-prefixed paths, and
    // nothing after them.
    const char* p = buffer.constData() + kHeaderBytes;
    const char* const end = buffer.constData() + frameBytes;
    if (end - p < 4) {
        Finish(pSocket);
        return;
    }
    const quint32 count = ReadU32(p);
    p += 4;
    if (count > quint32(MaxPaths)) {
        Finish(pSocket);
        return;
    }
    QStringList accepted;
    for (quint32 i = 0; i < count; ++i) {
        if (end - p < 4) {
            Finish(pSocket);
            return;
        }
        const quint32 length = ReadU32(p);
        p += 4;
        if (length == 0 || length > quint32(MaxPathBytes) || quint32(end - p) < length) {
            Finish(pSocket);
            return;
        }
        const QByteArray bytes(p, static_cast<qsizetype>(length));
        p += length;
        if (bytes.contains('\0')) {
            Finish(pSocket);
            return;
        }
        // What the other side sent is only a wish: a path is passed on
        // when it names an existing regular file by absolute path.
        const QString path = QString::fromUtf8(bytes);
        if (path.toUtf8() != bytes || !QDir::isAbsolutePath(path))
            continue;
        const QString clean = QDir::cleanPath(path);
        if (IsRegularFile(clean))
            accepted << clean;
    }
    if (p != end) {
        Finish(pSocket);
        return;
    }

    QByteArray reply(kReplyMagic, 4);
    AppendU32(reply, static_cast<quint32>(accepted.size()));
    m_clients.erase(it);
    pSocket->disconnect();
    pSocket->write(reply);
    pSocket->flush();
    // The reply is in the kernel's buffer now; closing does not lose it.
    pSocket->disconnectFromServer();
    pSocket->deleteLater();
    Deliver(accepted);
}

void CInstanceChannel::Deliver(const QStringList& paths)
{
    // Later, from the event loop: the handler may open files, show
    // message boxes and run nested loops.
    QTimer::singleShot(0, m_pServer.get(), [this, paths]() {
        if (!m_onOpenRequest)
            return;
        try {
            m_onOpenRequest(paths);
        } catch (...) {
            // Nothing may cross the event loop; the request is simply lost.
        }
    });
}

bool CInstanceChannel::SendToPrimary(const QString& name, const QStringList& absolutePaths, int timeoutMs,
                                     int* pAccepted)
{
    if (pAccepted)
        *pAccepted = 0;
    if (!IsValidName(name) || absolutePaths.size() > MaxPaths)
        return false;

    QByteArray payload;
    AppendU32(payload, static_cast<quint32>(absolutePaths.size()));
    for (const QString& path : absolutePaths) {
        const QByteArray bytes = path.toUtf8();
        if (bytes.isEmpty() || bytes.size() > MaxPathBytes)
            return false;
        AppendU32(payload, static_cast<quint32>(bytes.size()));
        payload += bytes;
    }
    if (payload.size() > MaxMessageBytes - kHeaderBytes)
        return false;
    QByteArray frame(kRequestMagic, 4);
    AppendU32(frame, static_cast<quint32>(payload.size()));
    frame += payload;

    const QString folder = RuntimeFolder();
    if (folder.isEmpty())
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(PathFor(folder, name, ".socket"));
    if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
        return false;
    socket.write(frame);
    while (socket.bytesToWrite() > 0) {
        if (deadline.hasExpired() || !socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            return false;
    }
    QByteArray reply;
    while (reply.size() < kHeaderBytes) {
        if (socket.bytesAvailable() == 0) {
            if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
                break;
        }
        reply += socket.read(kHeaderBytes - reply.size());
    }
    // The primary closes right after its reply; what it wrote stays readable.
    if (reply.size() < kHeaderBytes)
        reply += socket.read(kHeaderBytes - reply.size());
    socket.abort();
    if (reply.size() != kHeaderBytes || std::memcmp(reply.constData(), kReplyMagic, 4) != 0)
        return false;
    if (pAccepted)
        *pAccepted = static_cast<int>(ReadU32(reply.constData() + 4));
    return true;
}
