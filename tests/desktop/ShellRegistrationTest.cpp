// The file-type registration: which files it writes where, what is in
// them, what it leaves alone, and how it fails.
#include "CShellRegistration.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kDesktopFile = "data/applications/tarvex.desktop";
const char* const kMimeFile = "data/mime/packages/Tarvex.Document.xml";
const char* const kMimeApps = "config/mimeapps.list";

CShellRegistration::Info MakeInfo(const QString& executable = QStringLiteral("/usr/bin/tarvex"))
{
    CShellRegistration::Info info;
    info.typeId = QStringLiteral("Tarvex.Document");
    info.typeName = QStringLiteral("Tarvex Document");
    info.extension = QStringLiteral(".QUO");
    info.mimeType = QStringLiteral("application/x-tarvex-quote-page");
    info.desktopId = QStringLiteral("tarvex.desktop");
    info.programName = QStringLiteral("Tarvex");
    info.executable = executable;
    info.iconName = QStringLiteral("tarvex");
    info.typeIconName = QStringLiteral("application-x-tarvex-quote-page");
    info.comment = QStringLiteral("Stock quote pages");
    info.refreshDatabases = false;
    return info;
}

struct FileState {
    QByteArray content;
    qint64 mtimeNs = 0;
    ino_t inode = 0;
    bool operator==(const FileState& o) const
    {
        return content == o.content && mtimeNs == o.mtimeNs && inode == o.inode;
    }
};
using Snapshot = std::map<QString, FileState>;

// The string escapes of a desktop-entry value undone.
QString UnescapeValue(const QString& value)
{
    QString out;
    for (int i = 0; i < value.size(); ++i) {
        if (value.at(i) == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value.at(++i);
            out += next == QLatin1Char('s')   ? QStringLiteral(" ")
                   : next == QLatin1Char('n') ? QStringLiteral("\n")
                   : next == QLatin1Char('t') ? QStringLiteral("\t")
                   : next == QLatin1Char('r') ? QStringLiteral("\r")
                                              : QString(next);
        } else {
            out += value.at(i);
        }
    }
    return out;
}

// An Exec value split into arguments the way a launcher does it.
QStringList SplitExec(const QString& exec)
{
    QStringList args;
    QString current;
    bool inArg = false;
    bool quoted = false;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size()) {
                current += exec.at(++i);
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == QLatin1Char(' ')) {
            if (inArg)
                args << current;
            current.clear();
            inArg = false;
        } else {
            inArg = true;
            if (c == QLatin1Char('"'))
                quoted = true;
            else
                current += c;
        }
    }
    if (inArg)
        args << current;
    for (QString& arg : args) {
        if (arg != QLatin1String("%f"))
            arg.replace(QStringLiteral("%%"), QStringLiteral("%"));
    }
    return args;
}

QString ExecValue(const QByteArray& entry)
{
    for (const QByteArray& line : entry.split('\n')) {
        if (line.startsWith("Exec="))
            return QString::fromUtf8(line.mid(5));
    }
    return QString();
}

class ShellRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS",
                                 "XDG_CURRENT_DESKTOP"})
            m_saved.emplace(name, qgetenv(name));
        qputenv("XDG_DATA_HOME", QFile::encodeName(Path("data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(Path("config")));
        // The data home listed among the system folders too, as on many
        // desktops: our own entry there is not an installed one.
        qputenv("XDG_DATA_DIRS", QFile::encodeName(Path("data") + QLatin1Char(':') + Path("system")));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(Path("etc")));
        qunsetenv("XDG_CURRENT_DESKTOP");
    }
    void TearDown() override
    {
        for (const auto& [name, value] : m_saved) {
            if (value.isNull())
                qunsetenv(name.c_str());
            else
                qputenv(name.c_str(), value);
        }
    }

    QString Path(const char* relative) const { return m_root.filePath(QString::fromUtf8(relative)); }

    void Put(const char* relative, const QByteArray& content) const
    {
        const QString path = Path(relative);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QByteArray Read(const char* relative) const
    {
        QFile file(Path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    Snapshot Take() const
    {
        Snapshot snapshot;
        QDirIterator it(m_root.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            struct stat st {};
            EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0);
            QFile file(path);
            FileState state;
            if (file.open(QIODevice::ReadOnly))
                state.content = file.readAll();
            state.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
            state.inode = st.st_ino;
            snapshot[QDir(m_root.path()).relativeFilePath(path)] = state;
        }
        return snapshot;
    }

    static QStringList Names(const Snapshot& snapshot)
    {
        QStringList names;
        for (const auto& entry : snapshot)
            names << entry.first;
        return names;
    }

    QTemporaryDir m_root;
    std::map<std::string, QByteArray> m_saved;
};

TEST_F(ShellRegistrationTest, FirstStartWritesTheEntryTheTypeAndTheDefault)
{
    ASSERT_TRUE(Take().empty());
    QString error;
    ASSERT_TRUE(CShellRegistration::Register(MakeInfo(), &error)) << qPrintable(error);

    EXPECT_EQ(Names(Take()), QStringList({QString::fromUtf8(kMimeApps), QString::fromUtf8(kDesktopFile),
                                          QString::fromUtf8(kMimeFile)}));
    EXPECT_EQ(Read(kDesktopFile), QByteArray("[Desktop Entry]\n"
                                             "Type=Application\n"
                                             "Name=Tarvex\n"
                                             "Comment=Stock quote pages\n"
                                             "Exec=\"/usr/bin/tarvex\" %f\n"
                                             "Icon=tarvex\n"
                                             "Terminal=false\n"
                                             "Categories=Office;Finance;\n"
                                             "MimeType=application/x-tarvex-quote-page;\n"));
    // One lower-case glob: without case-sensitive="true" it matches
    // "*.QUO" as well.
    EXPECT_EQ(Read(kMimeFile),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                         "  <mime-type type=\"application/x-tarvex-quote-page\">\n"
                         "    <comment>Tarvex Document</comment>\n"
                         "    <icon name=\"application-x-tarvex-quote-page\"/>\n"
                         "    <glob pattern=\"*.quo\"/>\n"
                         "  </mime-type>\n"
                         "</mime-info>\n"));
    EXPECT_EQ(Read(kMimeApps), QByteArray("[Default Applications]\n"
                                          "application/x-tarvex-quote-page=tarvex.desktop;\n"));
}

TEST_F(ShellRegistrationTest, LaterStartsWriteOnlyWhatChanged)
{
    ASSERT_TRUE(CShellRegistration::Register(MakeInfo()));
    const Snapshot first = Take();
    QTest::qWait(20);
    ASSERT_TRUE(CShellRegistration::Register(MakeInfo()));
    EXPECT_TRUE(Take() == first);

    // The program moved: only the entry follows it.
    ASSERT_TRUE(CShellRegistration::Register(MakeInfo(QStringLiteral("/opt/tarvex/bin/tarvex"))));
    const Snapshot moved = Take();
    EXPECT_EQ(Names(moved), Names(first));
    for (const auto& [name, state] : moved) {
        SCOPED_TRACE(qPrintable(name));
        EXPECT_EQ(state == first.at(name), name != QString::fromUtf8(kDesktopFile));
    }
    EXPECT_EQ(ExecValue(Read(kDesktopFile)), QStringLiteral("\"/opt/tarvex/bin/tarvex\" %f"));
}

TEST_F(ShellRegistrationTest, ExecQuotesAnyExecutablePath)
{
    // The plain form, read by eye.
    EXPECT_EQ(CShellRegistration::QuoteExecArgument(QStringLiteral("/opt/my apps/tar\"vex")),
              QStringLiteral("\"/opt/my apps/tar\\\\\"vex\""));
    EXPECT_EQ(CShellRegistration::QuoteExecArgument(QStringLiteral("/a\\b")), QStringLiteral("\"/a\\\\\\\\b\""));

    const QString paths[] = {
        QStringLiteral("/usr/bin/tarvex"),
        QStringLiteral("/opt/my apps/tar\"vex"),
        QStringLiteral("/home/u/a\\b/$HOME/`id`/100%/tarvex"),
        QStringLiteral("/tmp/it's ~ a;b&c|d<e>f*?#=g/tarvex"),
        QString::fromUtf8("/tmp/\xc3\xbc n\xc3\xaf" "code/%F/tarvex"),
    };
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    for (const QString& exe : paths) {
        SCOPED_TRACE(qPrintable(exe));
        QString error;
        ASSERT_TRUE(CShellRegistration::Register(MakeInfo(exe), &error)) << qPrintable(error);
        const QByteArray entry = Read(kDesktopFile);
        EXPECT_EQ(SplitExec(UnescapeValue(ExecValue(entry))), QStringList({exe, QStringLiteral("%f")}));
        if (!validator.isEmpty()) {
            QProcess validate;
            validate.setProcessChannelMode(QProcess::MergedChannels);
            validate.start(validator, {Path(kDesktopFile)});
            ASSERT_TRUE(validate.waitForFinished(30000));
            const QByteArray output = validate.readAll();
            EXPECT_EQ(validate.exitCode(), 0) << output.constData();
            EXPECT_TRUE(output.isEmpty()) << output.constData();
        }
    }
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed; entries were not validated";
}

TEST_F(ShellRegistrationTest, AChosenDefaultIsNeverReplaced)
{
    const QByteArray otherDefault("[Default Applications]\napplication/x-tarvex-quote-page=other.desktop;\n");
    const QByteArray ours("[Default Applications]\napplication/x-tarvex-quote-page=tarvex.desktop;\n");
    const QByteArray mixed("# kept as it is\n"
                           "[Added Associations]\n"
                           "text/plain=ed.desktop;\n"
                           "\n"
                           "[Default Applications]\n"
                           "text/plain=ed.desktop;\n"
                           "\n"
                           "[Removed Associations]\n"
                           "image/png=viewer.desktop;\n");
    const QByteArray mixedAfter("# kept as it is\n"
                                "[Added Associations]\n"
                                "text/plain=ed.desktop;\n"
                                "\n"
                                "[Default Applications]\n"
                                "text/plain=ed.desktop;\n"
                                "application/x-tarvex-quote-page=tarvex.desktop;\n"
                                "\n"
                                "[Removed Associations]\n"
                                "image/png=viewer.desktop;\n");
    const QByteArray addedOnly("[Added Associations]\napplication/x-tarvex-quote-page=other.desktop;");
    const QByteArray addedOnlyAfter("[Added Associations]\n"
                                    "application/x-tarvex-quote-page=other.desktop;\n"
                                    "\n"
                                    "[Default Applications]\n"
                                    "application/x-tarvex-quote-page=tarvex.desktop;\n");
    const struct {
        const char* what;
        const char* file;
        QByteArray content;
        const char* desktop;
        QByteArray expectedUserList; // null: the user's list stays as it was
    } cases[] = {
        {"user's default is another program", kMimeApps, otherDefault, nullptr, QByteArray()},
        {"user's default is this program", kMimeApps, ours, nullptr, QByteArray()},
        {"default in the desktop's own list", "config/x-test-mimeapps.list", otherDefault, "X-Test:GNOME",
         QByteArray()},
        {"system default", "system/applications/mimeapps.list", otherDefault, nullptr, QByteArray()},
        {"defaults for other types only", kMimeApps, mixed, nullptr, mixedAfter},
        {"type only among added associations", kMimeApps, addedOnly, nullptr, addedOnlyAfter},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(Path("config")).removeRecursively();
        QDir(Path("system")).removeRecursively();
        Put(c.file, c.content);
        if (c.desktop)
            qputenv("XDG_CURRENT_DESKTOP", c.desktop);
        else
            qunsetenv("XDG_CURRENT_DESKTOP");
        const Snapshot before = Take();

        ASSERT_TRUE(CShellRegistration::Register(MakeInfo()));
        const Snapshot after = Take();
        const QString userList = QString::fromUtf8(kMimeApps);
        if (c.expectedUserList.isNull()) {
            EXPECT_EQ(after.count(userList), before.count(userList));
            if (before.count(userList)) {
                EXPECT_TRUE(after.at(userList) == before.at(userList));
            }
        } else {
            EXPECT_EQ(Read(kMimeApps), c.expectedUserList);
        }
        EXPECT_TRUE(after.at(QString::fromUtf8(c.file)).content == c.content || c.file == kMimeApps);
    }
}

TEST_F(ShellRegistrationTest, AnInstalledEntryIsNotShadowed)
{
    Put("system/applications/tarvex.desktop", "[Desktop Entry]\nType=Application\nName=Tarvex\nExec=tarvex %F\n");
    QString error;
    ASSERT_TRUE(CShellRegistration::Register(MakeInfo(), &error)) << qPrintable(error);
    EXPECT_FALSE(QFile::exists(Path(kDesktopFile)));
    EXPECT_FALSE(QFile::exists(Path(kMimeFile)));
    EXPECT_EQ(Read(kMimeApps), QByteArray("[Default Applications]\n"
                                          "application/x-tarvex-quote-page=tarvex.desktop;\n"));
}

TEST_F(ShellRegistrationTest, FailuresAreReportedNotThrown)
{
    const struct {
        const char* what;
        const char* blocker; // a file where a folder must go
        void (*change)(CShellRegistration::Info&);
    } cases[] = {
        {"applications folder is a file", "data/applications", nullptr},
        {"mime folder is a file", "data/mime", nullptr},
        {"config home is a file", "config", nullptr},
        {"relative executable", nullptr, [](CShellRegistration::Info& i) { i.executable = QStringLiteral("tarvex"); }},
        {"extension without dot", nullptr, [](CShellRegistration::Info& i) { i.extension = QStringLiteral("quo"); }},
        {"bad MIME type", nullptr, [](CShellRegistration::Info& i) { i.mimeType = QStringLiteral("quote page"); }},
        {"desktop id with a path", nullptr,
         [](CShellRegistration::Info& i) { i.desktopId = QStringLiteral("../evil.desktop"); }},
        {"type id with a path", nullptr, [](CShellRegistration::Info& i) { i.typeId = QStringLiteral("a/b"); }},
        {"newline in the name", nullptr,
         [](CShellRegistration::Info& i) { i.programName = QStringLiteral("Tarvex\nExec=/bin/sh"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* folder : {"data", "config"})
            QDir(Path(folder)).removeRecursively();
        QFile::remove(Path("config"));
        if (c.blocker)
            Put(c.blocker, "not a folder");
        CShellRegistration::Info info = MakeInfo();
        if (c.change)
            c.change(info);
        QString error;
        bool ok = true;
        EXPECT_NO_THROW(ok = CShellRegistration::Register(info, &error));
        EXPECT_FALSE(ok);
        EXPECT_FALSE(error.isEmpty());
        if (c.change) {
            EXPECT_TRUE(Take().empty());
        }
    }
}

TEST_F(ShellRegistrationTest, TheDesktopCachesAreRefreshedAfterAWrite)
{
    const bool mimeTool = !QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty();
    const bool desktopTool = !QStandardPaths::findExecutable(QStringLiteral("update-desktop-database")).isEmpty();
    if (!mimeTool && !desktopTool)
        GTEST_SKIP() << "update-mime-database and update-desktop-database are not installed";
    CShellRegistration::Info info = MakeInfo();
    info.refreshDatabases = true;
    ASSERT_TRUE(CShellRegistration::Register(info));

    // The tools run in the background; their results arrive later.
    if (mimeTool) {
        EXPECT_TRUE(QTest::qWaitFor(
            [this]() { return Read("data/mime/globs2").contains("application/x-tarvex-quote-page:*.quo"); }, 30000));
        // No ":cs" flag: the glob matches in any case.
        for (const QByteArray& line : Read("data/mime/globs2").split('\n')) {
            if (line.contains("x-tarvex-quote-page")) {
                EXPECT_EQ(line, QByteArray("50:application/x-tarvex-quote-page:*.quo"));
            }
        }
    }
    if (desktopTool) {
        EXPECT_TRUE(QTest::qWaitFor(
            [this]() {
                return Read("data/applications/mimeinfo.cache")
                    .contains("application/x-tarvex-quote-page=tarvex.desktop;");
            },
            30000));
    }
    QTest::qWait(200);
    const Snapshot settled = Take();
    ASSERT_TRUE(CShellRegistration::Register(info));
    QTest::qWait(500);
    EXPECT_TRUE(Take() == settled);
}

} // namespace
