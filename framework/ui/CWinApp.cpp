#include "CWinApp.h"

#include "AfxRes.h"
#include "AfxResources.h"
#include "CCommandLineInfo.h"
#include "CDocTemplate.h"
#include "CDocument.h"
#include "CFrameWnd.h"
#include "CProfile.h"
#include "CView.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>

#include <unistd.h>

#include <climits>
#include <cstdio>

namespace {

CWinApp*& CurrentApp()
{
    static CWinApp* app = nullptr;
    return app;
}

// The executable's base name, from /proc when it can be read.
CString ExecutableBaseName(const char* argv0)
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    QString path;
    if (n > 0)
        path = QString::fromUtf8(buffer, static_cast<int>(n));
    else if (argv0 != nullptr)
        path = QString::fromUtf8(argv0);
    return AfxFromQString(QFileInfo(path).fileName());
}

} // namespace

CWinApp* AfxGetApp()
{
    return CurrentApp();
}

CWnd* AfxGetMainWnd()
{
    CWinApp* app = CurrentApp();
    return app != nullptr ? app->m_pMainWnd : nullptr;
}

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
    ON_COMMAND(ID_FILE_MRU_FILE1, OnFileMruFile1)
    ON_COMMAND(ID_FILE_MRU_FILE2, OnFileMruFile2)
    ON_COMMAND(ID_FILE_MRU_FILE3, OnFileMruFile3)
    ON_COMMAND(ID_FILE_MRU_FILE4, OnFileMruFile4)
    ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, OnUpdateRecentFileMenu)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(lpszAppName)
{
    // The newest application object is the current one; tests make many.
    CurrentApp() = this;
}

CWinApp::~CWinApp()
{
    QObject::disconnect(m_idleConnection);
    if (m_pMainWnd != nullptr && m_pMainWnd->GetWidget() != nullptr)
        m_pMainWnd->DestroyWindow(); // frames delete themselves
    m_pMainWnd = nullptr;
    CloseAllDocuments(TRUE);
    POSITION pos = m_templateList.GetHeadPosition();
    while (pos != nullptr)
        delete m_templateList.GetNext(pos);
    m_templateList.RemoveAll();
    if (CurrentApp() == this)
        CurrentApp() = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    // The recent-file list, in the profile's "Recent File List" section.
    if (m_nMaxMRU > 0) {
        for (UINT i = 0; i < m_nMaxMRU; ++i) {
            CString key;
            key.Format("File%u", i + 1);
            if (i < m_recentFiles.size())
                WriteProfileString("Recent File List", key, m_recentFiles[i]);
            else if (!GetProfileString("Recent File List", key).IsEmpty())
                WriteProfileString("Recent File List", key, nullptr);
        }
    }
    return 0;
}

int CWinApp::Run()
{
    if (m_pMainWnd != nullptr && m_pMainWnd->GetWidget() != nullptr) {
        EnsureIdleHook();
        QEventLoop loop;
        m_pRunLoop = &loop;
        loop.exec();
        m_pRunLoop = nullptr;
    }
    return ExitInstance();
}

void CWinApp::OnMainWindowDestroyed(CWnd* pWnd)
{
    if (m_pMainWnd != pWnd)
        return;
    m_pMainWnd = nullptr;
    if (m_pRunLoop != nullptr)
        m_pRunLoop->quit();
}

void CWinApp::EnsureIdleHook()
{
    if (m_idleConnection)
        return;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher == nullptr)
        return;
    // aboutToBlock comes once each time the loop runs out of work; the
    // pass itself changes widgets only where a state really changed, so
    // an unchanged pass does not wake the loop again.
    m_idleConnection = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                                        dispatcher, [this] { RunIdle(); });
}

void CWinApp::RunIdle()
{
    if (m_bInIdle)
        return;
    m_bInIdle = true;
    AfxRunGuarded([this] { OnIdle(0); });
    m_bInIdle = false;
}

BOOL CWinApp::OnIdle(LONG)
{
    if (m_pMainWnd != nullptr) {
        if (CFrameWnd* pFrame = m_pMainWnd->AsFrameWnd())
            pFrame->OnIdleUpdateCmdUI();
    }
    return FALSE;
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (pTemplate == nullptr)
        return;
    pTemplate->LoadTemplate();
    m_templateList.AddTail(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const
{
    return m_templateList.GetHeadPosition();
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const
{
    return static_cast<CDocTemplate*>(m_templateList.GetNext(pos));
}

CDocument* CWinApp::OpenDocumentFile(LPCSTR lpszFileName)
{
    if (lpszFileName == nullptr || *lpszFileName == '\0')
        return nullptr;
    CDocTemplate* pBest = nullptr;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    CDocument* pOpenDocument = nullptr;
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr) {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        CDocument* pMatch = nullptr;
        const CDocTemplate::Confidence match = pTemplate->MatchDocType(lpszFileName, pMatch);
        if (match > bestMatch) {
            bestMatch = match;
            pBest = pTemplate;
        }
        if (match == CDocTemplate::yesAlreadyOpen) {
            pOpenDocument = pMatch;
            break;
        }
    }
    if (pOpenDocument != nullptr) {
        // Already open: bring its first window to the front.
        POSITION viewPos = pOpenDocument->GetFirstViewPosition();
        if (viewPos != nullptr) {
            CView* pView = pOpenDocument->GetNextView(viewPos);
            if (CFrameWnd* pFrame = pView->GetParentFrame())
                pFrame->ActivateFrame();
        }
        return pOpenDocument;
    }
    if (pBest == nullptr)
        return nullptr;
    CDocument* pDoc = pBest->OpenDocumentFile(lpszFileName);
    if (pDoc != nullptr)
        AddToRecentFileList(pDoc->GetPathName());
    return pDoc;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr)
        GetNextDocTemplate(pos)->CloseAllDocuments(bEndSession);
}

BOOL CWinApp::SaveAllModified()
{
    // Asking to save modified documents comes with the File commands.
    return TRUE;
}

void CWinApp::OnFileNew()
{
    // With several document types the first one is taken.
    POSITION pos = GetFirstDocTemplatePosition();
    if (pos == nullptr)
        return;
    GetNextDocTemplate(pos)->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen()
{
    CString fileName;
    if (!DoPromptFileName(fileName, AFX_IDS_OPENFILE, 0, TRUE, nullptr))
        return;
    OpenDocumentFile(fileName);
}

BOOL CWinApp::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD, BOOL bOpenFileDialog,
                               CDocTemplate* pTemplate)
{
    if (pTemplate == nullptr) {
        POSITION pos = GetFirstDocTemplatePosition();
        if (pos != nullptr)
            pTemplate = GetNextDocTemplate(pos);
    }
    QStringList filters;
    QString defaultSuffix;
    if (pTemplate != nullptr) {
        CString filterName;
        CString filterExt;
        if (pTemplate->GetDocString(filterName, CDocTemplate::filterName)
            && pTemplate->GetDocString(filterExt, CDocTemplate::filterExt)) {
            // Both cases of the extension, since names here are case-sensitive.
            const QString ext = AfxToQString(filterExt);
            filters << AfxToQString(filterName) + QStringLiteral(" (*") + ext.toLower() + QStringLiteral(" *")
                    + ext.toUpper() + QStringLiteral(")");
            defaultSuffix = ext.mid(ext.startsWith(u'.') ? 1 : 0).toLower();
        }
    }
    filters << AfxToQString(AfxLoadString(AFX_IDS_ALLFILTER)).replace(QStringLiteral("*.*"), QStringLiteral("*"));
    QWidget* parent = m_pMainWnd != nullptr ? m_pMainWnd->GetWidget() : nullptr;
    QFileDialog dialog(parent, AfxToQString(AfxLoadString(nIDSTitle)), AfxToQString(fileName));
    dialog.setNameFilters(filters);
    dialog.setAcceptMode(bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(bOpenFileDialog ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return FALSE;
    fileName = AfxFromQString(dialog.selectedFiles().front());
    return TRUE;
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd != nullptr)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::WinHelp(DWORD_PTR, UINT)
{
    CString path = m_pszHelpFilePath;
    if (path.IsEmpty()) {
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (n > 0) {
            path = CString(buffer, static_cast<int>(n));
            const int slash = path.ReverseFind('/');
            const int dot = path.ReverseFind('.');
            if (dot > slash)
                path = path.Left(dot);
            path += ".hlp";
        }
    }
    const QString file = AfxToQString(path);
    if (path.IsEmpty() || !QFileInfo::exists(file) || !QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        AfxMessageBox(AFX_IDP_FAILED_TO_LAUNCH_HELP, MB_ICONEXCLAMATION);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    for (size_t i = 0; i < m_argv.size(); ++i) {
        const CString& arg = m_argv[i];
        const BOOL bLast = i + 1 == m_argv.size() ? TRUE : FALSE;
        const bool flag = arg.GetLength() > 1 && (arg.GetAt(0) == '/' || arg.GetAt(0) == '-')
            && arg.Find('/', 1) < 0; // an absolute path is a file, not a flag
        if (flag)
            rCmdInfo.ParseParam(arg.Mid(1), TRUE, bLast);
        else
            rCmdInfo.ParseParam(arg, FALSE, bLast);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        // Through the command route, so a program's own File New counts.
        if (!RouteCommand(ID_FILE_NEW, CN_COMMAND, nullptr))
            OnFileNew();
        return m_pMainWnd != nullptr ? TRUE : FALSE;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr ? TRUE : FALSE;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
        // Printing runs with a hidden main window and ends the program.
        m_nCmdShow = SW_HIDE;
        if (OpenDocumentFile(rCmdInfo.m_strFileName) == nullptr)
            return FALSE;
        if (m_pMainWnd != nullptr)
            m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
        return FALSE;
    case CCommandLineInfo::FileDDE:
        // No desktop here sends a file by message afterwards, so a hidden
        // window would stay hidden for good: the window shows, empty.
        return TRUE;
    case CCommandLineInfo::FileNothing:
        return TRUE;
    }
    return TRUE;
}

void CWinApp::OnFileMruFile(UINT nID)
{
    const size_t index = nID - ID_FILE_MRU_FILE1;
    if (index >= m_recentFiles.size())
        return;
    const CString path = m_recentFiles[index];
    if (OpenDocumentFile(path) == nullptr) {
        // A file that no longer opens leaves the list.
        m_recentFiles.erase(m_recentFiles.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

void CWinApp::OnFileMruFile1() { OnFileMruFile(ID_FILE_MRU_FILE1); }
void CWinApp::OnFileMruFile2() { OnFileMruFile(ID_FILE_MRU_FILE2); }
void CWinApp::OnFileMruFile3() { OnFileMruFile(ID_FILE_MRU_FILE3); }
void CWinApp::OnFileMruFile4() { OnFileMruFile(ID_FILE_MRU_FILE4); }

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI)
{
    // Listing the files in the menu comes with the recent-file commands;
    // until then the placeholder item is enabled while the list has one.
    pCmdUI->Enable(m_recentFiles.empty() ? FALSE : TRUE);
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    m_nMaxMRU = nMaxMRU;
    m_recentFiles.clear();
    for (UINT i = 0; i < nMaxMRU; ++i) {
        CString key;
        key.Format("File%u", i + 1);
        const CString path = GetProfileString("Recent File List", key);
        if (!path.IsEmpty())
            m_recentFiles.push_back(path);
    }
}

void CWinApp::AddToRecentFileList(LPCSTR lpszPathName)
{
    if (m_nMaxMRU == 0 || lpszPathName == nullptr || *lpszPathName == '\0')
        return;
    const CString path(lpszPathName);
    for (auto it = m_recentFiles.begin(); it != m_recentFiles.end(); ++it) {
        if (*it == path) {
            m_recentFiles.erase(it);
            break;
        }
    }
    m_recentFiles.insert(m_recentFiles.begin(), path);
    if (m_recentFiles.size() > m_nMaxMRU)
        m_recentFiles.resize(m_nMaxMRU);
}

CString CWinApp::GetProfilePath() const
{
    CString name = m_pszProfileName;
    if (name.IsEmpty()) {
        CString exe = m_pszExeName.IsEmpty() ? ExecutableBaseName(nullptr) : m_pszExeName;
        name = exe.MakeLower() + ".ini";
    }
    if (name.GetAt(0) == '/')
        return name;
    return CProfile::GetConfigDir() + "/" + name;
}

CProfile& CWinApp::Profile()
{
    const CString path = GetProfilePath();
    if (!m_pProfile || m_pProfile->GetPath() != path)
        m_pProfile = std::make_unique<CProfile>(path);
    return *m_pProfile;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
    return Profile().GetInt(lpszSection, lpszEntry, nDefault);
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
    return Profile().WriteInt(lpszSection, lpszEntry, nValue);
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault)
{
    return Profile().GetString(lpszSection, lpszEntry, lpszDefault);
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
    return Profile().WriteString(lpszSection, lpszEntry, lpszValue);
}

int AfxWinMain(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        std::fprintf(stderr, "no application object\n");
        return 1;
    }
    if (app->m_pszExeName.IsEmpty())
        app->m_pszExeName = ExecutableBaseName(argc > 0 ? argv[0] : nullptr);
    if (app->m_pszAppName.IsEmpty())
        AfxLoadString(AFX_IDS_APP_TITLE, app->m_pszAppName);
    if (app->m_pszAppName.IsEmpty())
        app->m_pszAppName = app->m_pszExeName;
    QApplication::setApplicationName(AfxToQString(app->m_pszAppName));
    QApplication::setQuitOnLastWindowClosed(false);
    for (int i = 1; i < argc; ++i)
        app->m_argv.emplace_back(argv[i]);

    int exitCode = 0;
    AfxRunGuarded([&] {
        if (!app->InitInstance()) {
            // Start-up failed: no loop, but the exit code still comes from
            // ExitInstance and the main window (if any) goes.
            if (app->m_pMainWnd != nullptr)
                app->m_pMainWnd->DestroyWindow();
            exitCode = app->ExitInstance();
            if (exitCode == 0)
                exitCode = 1;
            return;
        }
        exitCode = app->Run();
    });
    // Windows left over go while the QApplication still exists.
    if (app->m_pMainWnd != nullptr)
        app->m_pMainWnd->DestroyWindow();
    app->CloseAllDocuments(TRUE);
    QObject::disconnect(app->m_idleConnection);
    return exitCode;
}
