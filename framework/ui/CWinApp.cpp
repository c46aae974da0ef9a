#include "CWinApp.h"

#include "AfxRes.h"
#include "AfxResources.h"
#include "CCommandLineInfo.h"
#include "CDocTemplate.h"
#include "CDocument.h"
#include "CFrameWnd.h"
#include "CInstanceChannel.h"
#include "CProfile.h"
#include "CRecentFileList.h"
#include "CShellRegistration.h"
#include "CView.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QUrl>

#include <unistd.h>

#include <algorithm>
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

// A wildcard pattern that matches ext in any letter case ("*.[qQ][uU][oO]"
// for ".QUO"): names here are case-sensitive, and files made elsewhere
// carry the extension in either case.
QString AnyCasePattern(const QString& ext)
{
    QString pattern = QStringLiteral("*");
    for (const QChar ch : ext) {
        if (ch.toLower() != ch.toUpper())
            pattern += u'[' + QString(ch.toLower()) + QString(ch.toUpper()) + u']';
        else if (ch == u'[' || ch == u']' || ch == u'*' || ch == u'?')
            pattern += u'[' + QString(ch) + u']';
        else
            pattern += ch;
    }
    return pattern;
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
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList(*this);
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
    // The document enters the recent-file list as it takes its path.
    return pBest->OpenDocumentFile(lpszFileName);
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr)
        GetNextDocTemplate(pos)->CloseAllDocuments(bEndSession);
}

BOOL CWinApp::SaveAllModified()
{
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos != nullptr) {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        POSITION docPos = pTemplate->GetFirstDocPosition();
        while (docPos != nullptr) {
            if (!pTemplate->GetNextDoc(docPos)->SaveModified())
                return FALSE;
        }
    }
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
    // Each filter's text as the user reads it, and the patterns it really
    // applies: the texts keep the familiar wording ("Tarvex Files (*.quo)",
    // "All Files (*.*)"), while the patterns match the extension in any
    // letter case, and every file for "*.*", as that wording promises.
    QStringList filters;
    std::vector<QStringList> patterns;
    QString defaultSuffix;
    if (pTemplate != nullptr) {
        CString filterName;
        CString filterExt;
        if (pTemplate->GetDocString(filterName, CDocTemplate::filterName)
            && pTemplate->GetDocString(filterExt, CDocTemplate::filterExt)) {
            const QString ext = AfxToQString(filterExt);
            filters << AfxToQString(filterName);
            patterns.push_back({ AnyCasePattern(ext.startsWith(u'.') ? ext : u'.' + ext) });
            defaultSuffix = ext.mid(ext.startsWith(u'.') ? 1 : 0);
        }
    }
    filters << AfxToQString(AfxLoadString(AFX_IDS_ALLFILTER));
    patterns.push_back({ QStringLiteral("*") });

    QWidget* parent = m_pMainWnd != nullptr ? m_pMainWnd->GetWidget() : nullptr;
    QFileDialog dialog(parent, AfxToQString(AfxLoadString(nIDSTitle)));
    // The desktop's own dialog would read the patterns from the texts and
    // match them case-sensitively; this one lets the patterns be set.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(bOpenFileDialog ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    if (!defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(defaultSuffix);
    if (!fileName.IsEmpty()) {
        const QFileInfo proposed(AfxToQString(fileName));
        if (proposed.isAbsolute())
            dialog.setDirectory(proposed.absolutePath());
        dialog.selectFile(proposed.fileName());
    }

    // The dialog sets its model's patterns from a filter's text whenever
    // the user picks one (and then announces the choice); ours replace them.
    auto* model = dialog.findChild<QFileSystemModel*>();
    auto applyPatterns = [model, filters, patterns](const QString& filter) {
        const auto index = filters.indexOf(filter);
        if (model != nullptr && index >= 0 && static_cast<size_t>(index) < patterns.size())
            model->setNameFilters(patterns[static_cast<size_t>(index)]);
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, applyPatterns);
    applyPatterns(dialog.selectedNameFilter());
    if (!bOpenFileDialog) {
        // Saving, the dialog gives the typed name the extension of the
        // filter picked, which for "*.*" is "*"; the name keeps its own.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, defaultSuffix] {
            const QString typed = QFileInfo(dialog.selectedFiles().value(0)).fileName();
            if (typed.endsWith(QStringLiteral(".*")))
                dialog.selectFile(typed.left(typed.size() - 2)
                                  + (defaultSuffix.isEmpty() ? QString() : u'.' + defaultSuffix));
        });
    }

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
        if (CCommandLineInfo::IsFlag(arg))
            rCmdInfo.ParseParam(arg.Mid(1), TRUE, bLast);
        else
            rCmdInfo.ParseParam(arg, FALSE, bLast);
    }
}

void CWinApp::EnableShellOpen()
{
    CInstanceChannel::ClaimStatus status = CInstanceChannel::ClaimStatus::Unavailable;
    QString error;
    m_pInstanceChannel = CInstanceChannel::Claim(CInstanceChannel::ChannelName(AfxToQString(m_pszAppName)),
                                                 &status, &error);
    m_bOtherInstanceRunning = status == CInstanceChannel::ClaimStatus::OtherRunning;
    if (!m_pInstanceChannel) {
        if (!m_bOtherInstanceRunning)
            std::fprintf(stderr, "%s: no single-instance service: %s\n", m_pszAppName.GetString(),
                         error.toLocal8Bit().constData());
        return;
    }
    m_pInstanceChannel->SetOpenRequestHandler([this](const QStringList& paths) {
        for (const QString& path : paths)
            OpenDocumentFile(path.toUtf8().constData());
        if (m_pMainWnd != nullptr) {
            if (QWidget* pWidget = m_pMainWnd->GetWidget()) {
                if (pWidget->isMinimized())
                    pWidget->showNormal();
                pWidget->show();
                pWidget->raise();
                pWidget->activateWindow();
            }
        }
    });
}

bool CWinApp::HandToRunningInstance(const CCommandLineInfo& rCmdInfo)
{
    QStringList paths;
    if (rCmdInfo.m_nShellCommand == CCommandLineInfo::FileOpen)
        paths << QFileInfo(AfxToQString(rCmdInfo.m_strFileName)).absoluteFilePath();
    int nAccepted = 0;
    if (!CInstanceChannel::SendToPrimary(CInstanceChannel::ChannelName(AfxToQString(m_pszAppName)), paths, 3000,
                                         &nAccepted))
        return false;
    // The running instance takes only files that exist; for any other the
    // user hears why from this start, as a start of its own would say.
    if (nAccepted < paths.size())
        OpenDocumentFile(rCmdInfo.m_strFileName);
    return true;
}

void CWinApp::RegisterShellFileTypes(BOOL)
{
    POSITION pos = GetFirstDocTemplatePosition();
    if (pos == nullptr || m_shellNames.mimeType.IsEmpty())
        return;
    CDocTemplate* pTemplate = GetNextDocTemplate(pos);
    CString typeId, typeName, extension;
    pTemplate->GetDocString(typeId, CDocTemplate::regFileTypeId);
    pTemplate->GetDocString(typeName, CDocTemplate::regFileTypeName);
    pTemplate->GetDocString(extension, CDocTemplate::filterExt);
    if (typeId.IsEmpty() || extension.IsEmpty())
        return;

    CShellRegistration::Info info;
    info.typeId = AfxToQString(typeId);
    info.typeName = AfxToQString(typeName);
    info.extension = AfxToQString(extension).toLower();
    info.mimeType = AfxToQString(m_shellNames.mimeType);
    info.desktopId = AfxToQString(m_shellNames.desktopId);
    info.programName = AfxToQString(m_pszAppName);
    info.executable = QCoreApplication::applicationFilePath();
    info.iconName = AfxToQString(m_shellNames.iconName);
    info.typeIconName = AfxToQString(m_shellNames.typeIconName);
    info.comment = AfxToQString(m_shellNames.comment);
    QString error;
    if (!CShellRegistration::Register(info, &error))
        std::fprintf(stderr, "%s: file type not registered: %s\n", m_pszAppName.GetString(),
                     error.toLocal8Bit().constData());
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    // Another instance runs: it opens this start's file (or just comes to
    // the front), and this start ends without a window of its own.
    // Printing stays here: it needs no window and ends at once.
    if (m_bOtherInstanceRunning
        && (rCmdInfo.m_nShellCommand == CCommandLineInfo::FileNew
            || rCmdInfo.m_nShellCommand == CCommandLineInfo::FileOpen
            || rCmdInfo.m_nShellCommand == CCommandLineInfo::FileDDE)
        && HandToRunningInstance(rCmdInfo)) {
        m_bShellCommandDone = true;
        return FALSE;
    }
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
        m_bShellCommandDone = true;
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

BOOL CWinApp::OnCmdMsg(UINT nID, int nCode, void* pExtra)
{
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra))
        return TRUE;
    // The entries of the recent-file list beyond the first; the first has
    // its update handler in the map (the placeholder when the list is empty).
    const int nIndex = static_cast<int>(nID) - static_cast<int>(ID_FILE_MRU_FILE1);
    if (!m_pRecentFileList || nIndex < 0 || nIndex >= static_cast<int>(kMaxRecentFiles))
        return FALSE;
    if (nCode == CN_COMMAND)
        return OnOpenRecentFile(nID);
    if (nCode == CN_UPDATE_COMMAND_UI && nIndex < m_pRecentFileList->GetSize()) {
        if (pExtra != nullptr)
            static_cast<CCmdUI*>(pExtra)->Enable(TRUE);
        return TRUE;
    }
    return FALSE;
}

BOOL CWinApp::OnOpenRecentFile(UINT nID)
{
    const int nIndex = static_cast<int>(nID) - static_cast<int>(ID_FILE_MRU_FILE1);
    if (!m_pRecentFileList || nIndex < 0 || nIndex >= m_pRecentFileList->GetSize())
        return FALSE;
    const CString path = (*m_pRecentFileList)[nIndex];
    if (OpenDocumentFile(path) == nullptr) {
        // The template has shown why; a file that no longer opens leaves
        // the list. Found again by name, as opening may have changed it.
        const std::vector<CString>& names = m_pRecentFileList->GetNames();
        const auto it = std::find(names.begin(), names.end(), path);
        if (it != names.end())
            m_pRecentFileList->Remove(static_cast<int>(it - names.begin()));
    }
    return TRUE;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI)
{
    // The frame shows the entries' names (CFrameWnd::UpdateRecentFileMenu);
    // with none the placeholder stays, grayed.
    pCmdUI->Enable(m_pRecentFileList && m_pRecentFileList->GetSize() > 0 ? TRUE : FALSE);
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    nMaxMRU = std::min(nMaxMRU, kMaxRecentFiles);
    if (nMaxMRU == 0) {
        m_pRecentFileList.reset();
    } else {
        m_pRecentFileList = std::make_unique<CRecentFileList>(nMaxMRU, "Recent File List", "File%d",
                                                              kMaxRecentFileDisplayLength);
        m_pRecentFileList->ReadList(*this);
    }
    m_nNumPreviewPages = GetProfileInt("Settings", "PreviewPages", 0);
}

void CWinApp::AddToRecentFileList(LPCSTR lpszPathName)
{
    if (!m_pRecentFileList || lpszPathName == nullptr || *lpszPathName == '\0')
        return;
    m_pRecentFileList->Add(AfxFromQString(QFileInfo(AfxToQString(lpszPathName)).absoluteFilePath()));
}

const std::vector<CString>& CWinApp::GetRecentFileList() const
{
    static const std::vector<CString> none;
    return m_pRecentFileList ? m_pRecentFileList->GetNames() : none;
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

    // ExitInstance runs exactly once on every way out: at the end of Run,
    // or when start-up failed, by FALSE or by an exception (which
    // AfxRunGuarded has shown), so what InitInstance opened is released.
    bool started = false;
    AfxRunGuarded([&] { started = app->InitInstance() != FALSE; });
    int exitCode = 0;
    if (started) {
        AfxRunGuarded([&] { exitCode = app->Run(); });
    } else {
        // No loop; the main window (if any) goes first, as after a run.
        AfxRunGuarded([&] {
            if (app->m_pMainWnd != nullptr)
                app->m_pMainWnd->DestroyWindow();
        });
        AfxRunGuarded([&] { exitCode = app->ExitInstance(); });
        if (exitCode == 0 && !app->m_bShellCommandDone)
            exitCode = 1;
    }
    // Windows left over go while the QApplication still exists.
    if (app->m_pMainWnd != nullptr)
        app->m_pMainWnd->DestroyWindow();
    app->CloseAllDocuments(TRUE);
    QObject::disconnect(app->m_idleConnection);
    return exitCode;
}
