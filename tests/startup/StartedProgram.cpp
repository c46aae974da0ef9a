#include "StartedProgram.h"

#include "AfxWin.h"
#include "CDialog.h"
#include "CDocTemplate.h"
#include "CMDIChildWnd.h"
#include "CStringList.h"

#include <QFile>

BOOL TestApp::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                               CDocTemplate* pTemplate)
{
    prompts.push_back({ fileName.str(), nIDSTitle, bOpenFileDialog != FALSE });
    if (answers.empty())
        return CTarvexApp::DoPromptFileName(fileName, nIDSTitle, lFlags, bOpenFileDialog, pTemplate);
    const std::string answer = answers.front();
    answers.erase(answers.begin());
    if (answer.empty())
        return FALSE;
    fileName = answer;
    return TRUE;
}

void StartedProgram::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    AfxSetMessageBoxHook([this](const CString& text, UINT) {
        messages.push_back(text.str());
        return IDOK;
    });
    AfxSetMessageBeepHook([this](UINT) { ++beeps; });
    app = std::make_unique<TestApp>();
    app->m_pszProfileName = AfxFromQString(dir.path() + "/tarvex.ini");
    WriteProfile("Server", "Host", "127.0.0.1:" + std::to_string(refusing.port()));
}

void StartedProgram::TearDown()
{
    CDialog::SetShowHook(nullptr);
    Stop();
    EXPECT_EQ(AfxGetApp(), nullptr);
    AfxSetMessageBoxHook(nullptr);
    AfxSetMessageBeepHook(nullptr);
}

void StartedProgram::Start()
{
    ASSERT_TRUE(app->InitInstance());
    ASSERT_NE(Frame(), nullptr);
    Frame()->KillTimer(Frame()->m_nTimerId);
}

void StartedProgram::Stop()
{
    if (!app)
        return;
    app->ExitInstance();
    if (app->m_pMainWnd != nullptr)
        app->m_pMainWnd->DestroyWindow();
    app.reset();
}

void StartedProgram::Restart()
{
    const CString profile = app->m_pszProfileName;
    Stop();
    app = std::make_unique<TestApp>();
    app->m_pszProfileName = profile;
    Start();
}

CMainFrame* StartedProgram::Frame() const
{
    return dynamic_cast<CMainFrame*>(app->m_pMainWnd);
}

CDocTemplate* StartedProgram::Template() const
{
    POSITION pos = app->GetFirstDocTemplatePosition();
    return pos != nullptr ? app->GetNextDocTemplate(pos) : nullptr;
}

std::vector<CTarvexDoc*> StartedProgram::Docs() const
{
    std::vector<CTarvexDoc*> docs;
    CDocTemplate* pTemplate = Template();
    for (POSITION pos = pTemplate != nullptr ? pTemplate->GetFirstDocPosition() : nullptr; pos != nullptr;)
        docs.push_back(dynamic_cast<CTarvexDoc*>(pTemplate->GetNextDoc(pos)));
    return docs;
}

CTarvexDoc* StartedProgram::ActiveDoc() const
{
    CMDIChildWnd* pChild = Frame()->MDIGetActive();
    return pChild != nullptr ? dynamic_cast<CTarvexDoc*>(pChild->GetActiveDocument()) : nullptr;
}

void StartedProgram::Command(UINT nID)
{
    Frame()->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(nID), 0), 0);
}

void StartedProgram::Idle()
{
    app->OnIdle(0);
}

void StartedProgram::WriteProfile(const char* section, const char* key, const std::string& value)
{
    ASSERT_TRUE(app->WriteProfileString(section, key, value.c_str()));
}

std::string StartedProgram::Path(const std::string& name) const
{
    return (dir.path() + "/" + QString::fromStdString(name)).toStdString();
}

std::string StartedProgram::WritePage(const std::string& name, const Strings& tickers)
{
    QByteArray bytes;
    bytes.append(static_cast<char>(tickers.size() & 0xFF));
    bytes.append(static_cast<char>((tickers.size() >> 8) & 0xFF));
    for (const std::string& t : tickers) {
        bytes.append(static_cast<char>(t.size()));
        bytes.append(t.data(), static_cast<int>(t.size()));
    }
    const std::string path = Path(name);
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

Strings StartedProgram::Tickers(const CTarvexDoc* pDoc)
{
    Strings result;
    for (POSITION pos = pDoc->m_tickerList.GetHeadPosition(); pos != nullptr;)
        result.push_back(pDoc->m_tickerList.GetNext(pos).str());
    return result;
}

void StartedProgram::SetTickers(CTarvexDoc* pDoc, const Strings& tickers)
{
    pDoc->m_tickerList.RemoveAll();
    for (const std::string& t : tickers)
        pDoc->m_tickerList.AddTail(CString(t));
}
