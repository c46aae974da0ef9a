#pragma once
// One running instance per user: a later start hands its files to the
// instance that runs already and ends. A local (Unix-domain) socket in the
// user's runtime folder carries the request.
//
// Use at start-up, before any window exists (the QApplication must exist):
//
//   const QString name = CInstanceChannel::ChannelName("Tarvex");
//   CInstanceChannel::ClaimStatus status;
//   QString error;
//   auto channel = CInstanceChannel::Claim(name, &status, &error);
//   if (channel) {
//       // Primary: keep `channel` alive for the whole run.
//       channel->SetOpenRequestHandler([](const QStringList& paths) {
//           // open each path as a page (an empty list: only come to the
//           // front), then raise and activate the main window
//       });
//   } else if (status == CInstanceChannel::ClaimStatus::OtherRunning
//              && CInstanceChannel::SendToPrimary(name, absolutePaths)) {
//       return 0;   // the running instance has the files
//   }
//   // Otherwise (status Unavailable, or the running instance did not
//   // answer) run on as an independent instance; `error` says why.
//
// Where and who: the socket lives in $XDG_RUNTIME_DIR when that is an
// absolute folder owned by the user with mode 0700; otherwise in a folder
// of our own, "<temp>/tarvex-runtime-<uid>", created with mode 0700 and
// refused when it exists with another owner or looser mode. The socket is
// made with QLocalServer::UserAccessOption, and the primary refuses any
// connection whose peer (SO_PEERCRED) is another user.
//
// The primary serves requests asynchronously on the event loop: a client
// that sends nothing is dropped after ReadTimeoutMs, a message larger than
// MaxMessageBytes or carrying more than MaxPaths paths is dropped, and so
// is anything that does not parse; the primary keeps serving others.
// Only absolute paths of existing regular files reach the handler; the
// rest of a well-formed request is quietly left out.
//
// Lifetime: the primary holds a lock file beside the socket for as long
// as the channel object lives, so two instances that start together
// cannot both become primary; a lock or socket left by a crashed
// instance is detected and replaced.
//
// Wire format (both directions big-endian): request = "TVX1", u32 payload
// length, payload = u32 path count, then per path u32 length and UTF-8
// bytes. Reply = "TVOK", u32 number of paths passed on to the handler.

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

class CInstanceChannel {
public:
    enum class ClaimStatus {
        Primary,      // the channel is ours (Claim returned it)
        OtherRunning, // a running instance holds it: send it the files
        Unavailable,  // no single-instance service (see the error text)
    };

    static constexpr int MaxMessageBytes = 64 * 1024;
    static constexpr int MaxPaths = 128;
    static constexpr int MaxPathBytes = 4096;
    static constexpr int ReadTimeoutMs = 3000;
    static constexpr int MaxClients = 16;

    using OpenRequestHandler = std::function<void(const QStringList& paths)>;

    ~CInstanceChannel();
    CInstanceChannel(const CInstanceChannel&) = delete;
    CInstanceChannel& operator=(const CInstanceChannel&) = delete;

    // "<app name in lower case>-<uid>", with anything but letters, digits,
    // '.', '_' and '-' taken out of the app name.
    static QString ChannelName(const QString& appName);

    // Becomes the primary for `name` (letters, digits, '.', '_', '-'):
    // returns the listening channel, or nullptr with *pStatus telling
    // whether another instance holds it or the service is unavailable
    // (*pError then says why). Blocks for at most a few seconds.
    static std::unique_ptr<CInstanceChannel> Claim(const QString& name, ClaimStatus* pStatus = nullptr,
                                                   QString* pError = nullptr);

    // Hands `absolutePaths` to the primary of `name` (none: only bring it
    // to the front). Pass absolute paths (QFileInfo::absoluteFilePath):
    // the primary does not know this process's current folder and drops
    // relative ones. Blocks for at most timeoutMs. True when the primary
    // acknowledged the request; *pAccepted then holds how many paths it
    // passed on. False when no primary answered or the request exceeds
    // MaxPaths, MaxPathBytes per path or MaxMessageBytes.
    static bool SendToPrimary(const QString& name, const QStringList& absolutePaths, int timeoutMs = 3000,
                              int* pAccepted = nullptr);

    // Called on the event loop (never inside Claim or a socket callback)
    // once per accepted request, with its checked paths in order.
    // Exceptions thrown by the handler are caught and dropped.
    void SetOpenRequestHandler(OpenRequestHandler handler) { m_onOpenRequest = std::move(handler); }

    // The socket's full path, and the folder both socket and lock live in.
    QString SocketPath() const;
    static QString RuntimeFolder(QString* pError = nullptr);

private:
    struct Client;

    CInstanceChannel();
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* pSocket);
    void Finish(QLocalSocket* pSocket);
    void Deliver(const QStringList& paths);

    std::unique_ptr<QLockFile> m_pLock;
    std::unique_ptr<QLocalServer> m_pServer;
    std::map<QLocalSocket*, std::unique_ptr<Client>> m_clients;
    OpenRequestHandler m_onOpenRequest;
};
