// The program on the desktop: files dropped on the main window, the
// manual behind Help, and the About box.
#include "StartedProgram.h"

#include "CDialog.h"
#include "Resource.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

// Takes the URLs the desktop is asked to open, in place of a viewer.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class Desktop : public StartedProgram {
protected:
    void SetUp() override
    {
        StartedProgram::SetUp();
        Start();
    }
    void TearDown() override
    {
        QDesktopServices::unsetUrlHandler("file");
        qunsetenv("TARVEX_HELP_DIR");
        StartedProgram::TearDown();
    }

    UrlCatcher catcher;

    // Drags files over the main window and drops them, as the desktop does.
    void Drop(const QStringList& paths)
    {
        QWidget* target = Frame()->GetWidget();
        ASSERT_TRUE(target->acceptDrops());
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        const QPointF where(10, 10);
        QDragEnterEvent enter(where.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        ASSERT_TRUE(drop.isAccepted());
    }

    bool WaitFor(const std::function<bool()>& pred)
    {
        for (int i = 0; i < 400 && !pred(); ++i) {
            QEventLoop loop;
            QTimer::singleShot(10, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return pred();
    }
};

TEST_F(Desktop, DroppedFilesOpenAsPagesWithoutARefresh)
{
    const std::string one = WritePage("dropped.quo", { "IBM", "MSFT" });
    const std::string two = WritePage("other.QUO", { "T" });
    Drop({ QString::fromStdString(one), QString::fromStdString(two) });
    ASSERT_TRUE(WaitFor([this] { return Docs().size() == 3; }));
    EXPECT_EQ(Docs()[1]->GetPathName(), one);
    EXPECT_EQ(Tickers(Docs()[1]), Strings({ "IBM", "MSFT" }));
    EXPECT_EQ(Docs()[2]->GetTitle(), "other.QUO");
    EXPECT_EQ(ActiveDoc(), Docs()[2]);
    EXPECT_EQ(app->GetRecentFileList().front(), two);
    EXPECT_EQ(beeps, 0); // nothing asked yet
    EXPECT_TRUE(Docs()[1]->m_rowList.IsEmpty());
    // The next refresh pass takes them in.
    Command(ID_EDIT_UPDATE);
    EXPECT_EQ(beeps, 2);

    // A file that does not open: its message, and no page.
    Drop({ QString::fromStdString(Path("missing.quo")) });
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }));
    EXPECT_EQ(messages, Strings({ Path("missing.quo") + " was not found." }));
    EXPECT_EQ(Docs().size(), 3u);
}

TEST_F(Desktop, HelpOpensTheManualWithTheDesktopsHandler)
{
    QDesktopServices::setUrlHandler("file", &catcher, "open");

    // The manual from the source tree, when nothing else is installed.
    Command(ID_HELP_CONTENTS);
    ASSERT_EQ(catcher.urls.size(), 1);
    const QString shipped = catcher.urls[0].toLocalFile();
    EXPECT_TRUE(shipped.endsWith("/app/help/index.html")) << shipped.toStdString();
    QFile manual(shipped);
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
    EXPECT_TRUE(manual.readAll().contains("<html"));

    // A manual in the folder named by TARVEX_HELP_DIR comes first.
    const QString own = dir.path() + "/manual";
    ASSERT_TRUE(QDir().mkpath(own));
    {
        QFile page(own + "/index.html");
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<html></html>");
    }
    qputenv("TARVEX_HELP_DIR", own.toUtf8());
    Command(ID_HELP_CONTENTS);
    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_EQ(QFileInfo(catcher.urls[1].toLocalFile()).canonicalFilePath(),
              QFileInfo(own + "/index.html").canonicalFilePath());
    EXPECT_TRUE(messages.empty());
}

TEST_F(Desktop, HelpWithoutAViewerSaysSo)
{
    // The offscreen desktop has no handler for files.
    Command(ID_HELP_CONTENTS);
    EXPECT_EQ(messages, Strings({ "Failed to launch help." }));
}

TEST_F(Desktop, AboutBoxShowsTheVersionAndThreeNotices)
{
    QString caption;
    QStringList texts;
    CDialog::SetShowHook([&](CDialog* d) {
        caption = d->GetWidget()->windowTitle();
        for (QLabel* label : d->GetWidget()->findChildren<QLabel*>()) {
            if (!label->text().isEmpty())
                texts << label->text();
        }
        d->OnOK();
    });
    Command(ID_APP_ABOUT);
    EXPECT_EQ(caption, "About Tarvex");
    ASSERT_EQ(texts.size(), 4) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains("Tarvex Version 1.1"));
}

} // namespace

#include "DesktopTest.moc"
