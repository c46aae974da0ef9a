// The profile: INI values through GLib key files in $XDG_CONFIG_HOME.
#include "CProfile.h"
#include "CWinApp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(ProfileInt, ReadLikeIniIntegers)
{
    struct Case {
        const char* text;
        UINT expected;
    };
    const Case cases[] = {
        { "10", 10u },
        { "  \t42", 42u },
        { "+7", 7u },
        { "12a", 12u },
        { "abc", 0u },
        { "", 0u },
        { "-", 0u },
        { "-5", 0xFFFFFFFBu },
        { "99999999999", 1215752191u }, // modulo 2^32
        { "4294967296", 0u },
        { "0x1F", 31u },
        { "0XfF", 255u },
        { "0x", 0u },
        { "007", 7u },
    };
    for (const Case& c : cases)
        EXPECT_EQ(CProfile::ParseInt(c.text), c.expected) << '"' << c.text << '"';
}

struct ProfileFixture : ::testing::Test {
    QTemporaryDir dir;
    QString path;
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.path() + "/sub/test.ini";
    }
    CProfile Profile() { return CProfile(CString(path.toUtf8().toStdString())); }
    void WriteFile(const QByteArray& content)
    {
        QDir().mkpath(dir.path() + "/sub");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
    QByteArray ReadFile()
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(ProfileFixture, MissingFileGivesDefaults)
{
    CProfile p = Profile();
    EXPECT_EQ(p.GetInt("Update", "Period", 10), 10u);
    EXPECT_EQ(p.GetString("Recent File List", "File1", "none"), "none");
    EXPECT_EQ(p.GetString("Recent File List", "File1", nullptr), "");
}

TEST_F(ProfileFixture, ValuesAndDefaults)
{
    WriteFile("[Update]\nPeriod=abc\nOther= 25 \nNeg=-5\n[Recent File List]\nFile1=/home/u/a b.quo\n");
    CProfile p = Profile();
    EXPECT_EQ(p.GetInt("Update", "Period", 10), 0u); // present, no digits
    EXPECT_EQ(p.GetInt("Update", "Other", 10), 25u);
    EXPECT_EQ(p.GetInt("Update", "Neg", 10), 0xFFFFFFFBu);
    EXPECT_EQ(p.GetInt("Update", "Missing", 10), 10u);
    EXPECT_EQ(p.GetInt("update", "Period", 10), 10u); // sections keep their case
    EXPECT_EQ(p.GetString("Recent File List", "File1", ""), "/home/u/a b.quo");
}

TEST_F(ProfileFixture, ChangesByOthersAreSeenAtTheNextRead)
{
    // Reads are served from the file as last read; an editor rewriting it
    // in place, or removing it, must still be seen.
    WriteFile("[Server]\nHost=a.example\n");
    CProfile p = Profile();
    EXPECT_EQ(p.GetString("Server", "Host", ""), "a.example");
    WriteFile("[Server]\nHost=other.example:81\n");
    EXPECT_EQ(p.GetString("Server", "Host", ""), "other.example:81");
    ASSERT_TRUE(p.WriteString("Server", "Host", "b.example"));
    EXPECT_EQ(p.GetString("Server", "Host", ""), "b.example");
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(p.GetString("Server", "Host", "none"), "none");
}

TEST_F(ProfileFixture, WritesCreateTheFolderAndKeepOtherEntries)
{
    CProfile p = Profile();
    EXPECT_TRUE(p.WriteInt("Update", "Period", 15));
    EXPECT_TRUE(p.WriteString("Recent File List", "File1", "/tmp/x.quo"));
    EXPECT_TRUE(p.WriteInt("Update", "Period", -3));
    EXPECT_EQ(p.GetInt("Update", "Period", 10), static_cast<UINT>(-3));
    EXPECT_EQ(p.GetString("Recent File List", "File1", ""), "/tmp/x.quo");
    const QByteArray text = ReadFile();
    EXPECT_TRUE(text.contains("[Recent File List]"));
    EXPECT_TRUE(text.contains("Period=-3"));
    // Nothing but the profile in its folder: the temporary file was renamed.
    EXPECT_EQ(QDir(dir.path() + "/sub").entryList(QDir::Files), QStringList{ "test.ini" });
    EXPECT_TRUE(p.WriteString("Recent File List", "File1", nullptr));
    EXPECT_EQ(p.GetString("Recent File List", "File1", "gone"), "gone");
}

TEST_F(ProfileFixture, UnparseableFileIsReadAsDefaultsAndNotOverwritten)
{
    const QByteArray garbage("this is not\x01 an ini file\n[broken\n");
    WriteFile(garbage);
    CProfile p = Profile();
    EXPECT_EQ(p.GetInt("Update", "Period", 10), 10u);
    EXPECT_FALSE(p.WriteInt("Update", "Period", 5));
    EXPECT_EQ(ReadFile(), garbage);
}

TEST(ProfileApp, FileInXdgConfigHomeNamedByTheApplication)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    {
        CWinApp app;
        app.m_pszExeName = "Tarvex";
        EXPECT_EQ(app.GetProfilePath(), CString((dir.path() + "/tarvex.ini").toUtf8().toStdString()));
        app.m_pszProfileName = "apptest.ini";
        EXPECT_EQ(app.GetProfileInt("Update", "Period", 10), 10u);
        EXPECT_TRUE(app.WriteProfileInt("Update", "Period", 7));
        EXPECT_EQ(app.GetProfileInt("Update", "Period", 10), 7u);
        EXPECT_TRUE(QFile::exists(dir.path() + "/apptest.ini"));
        // The recent-file list goes to its section at exit.
        app.LoadStdProfileSettings(4);
        app.AddToRecentFileList("/a.quo");
        app.AddToRecentFileList("/b.quo");
        app.AddToRecentFileList("/a.quo");
        app.ExitInstance();
        EXPECT_EQ(app.GetProfileString("Recent File List", "File1"), "/a.quo");
        EXPECT_EQ(app.GetProfileString("Recent File List", "File2"), "/b.quo");
    }
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}

} // namespace
