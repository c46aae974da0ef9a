#include "CDocument.h"

#include "AfxRes.h"
#include "AfxResources.h"
#include "CArchive.h"
#include "CArchiveException.h"
#include "CDocTemplate.h"
#include "CFile.h"
#include "CFileException.h"
#include "CFrameWnd.h"
#include "CView.h"
#include "CWinApp.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kUnexpectedFormat[] = "Unexpected file format.";
const char kFailedToOpen[] = "Failed to open document.";
const char kInvalidFilename[] = "Invalid filename.";
const char kFailedToSave[] = "Failed to save document.";

// The user-facing text for a file error, with %1 standing for the file's
// name; nullptr when the cause has no text of its own and the operation's
// general text fits better.
const char* FileErrorText(int cause)
{
    switch (cause) {
    case CFileException::fileNotFound: return "%1 was not found.";
    case CFileException::badPath: return "%1 contains an invalid path.";
    case CFileException::tooManyOpenFiles: return "%1 could not be opened because too many files are open.";
    case CFileException::accessDenied: return "Access to %1 was denied.";
    case CFileException::directoryFull: return "%1 could not be created because the folder is full.";
    case CFileException::badSeek: return "Seeking failed on %1.";
    case CFileException::hardIO: return "A hardware error occurred while accessing %1.";
    case CFileException::sharingViolation: return "%1 is in use and cannot be accessed.";
    case CFileException::lockViolation: return "%1 is locked and cannot be accessed.";
    case CFileException::diskFull: return "There is not enough space on the disk.";
    default: return nullptr;
    }
}

CString FormatFileError(int cause, LPCSTR lpszPathName, const char* pszFallback)
{
    const char* pszText = FileErrorText(cause);
    if (!pszText)
        return CString(pszFallback);
    std::string text(pszText);
    const std::size_t n = text.find("%1");
    if (n != std::string::npos)
        text.replace(n, 2, lpszPathName ? lpszPathName : "");
    return CString(std::move(text));
}

std::string DirName(const std::string& path)
{
    const std::size_t n = path.rfind('/');
    if (n == std::string::npos)
        return ".";
    if (n == 0)
        return "/";
    return path.substr(0, n);
}

std::string BaseName(const std::string& path)
{
    const std::size_t n = path.rfind('/');
    return n == std::string::npos ? path : path.substr(n + 1);
}

// The file a save must replace: the final target of a chain of symbolic
// links (which may not exist yet), so the link itself survives the save.
// Returns false with errno set when the chain cannot be followed.
bool ResolveSaveTarget(const std::string& path, std::string& target)
{
    target = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0) {
            if (errno == ENOENT)
                return true;  // a new file, or a link to one not made yet
            return false;
        }
        if (!S_ISLNK(st.st_mode))
            return true;
        if (hops >= 40) {
            errno = ELOOP;
            return false;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0)
            return false;
        if (static_cast<std::size_t>(n) >= link.size()) {
            errno = ENAMETOOLONG;
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        target = (!link.empty() && link[0] == '/') ? link : DirName(target) + "/" + link;
    }
}

mode_t CurrentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::CDocument() = default;

CDocument::~CDocument()
{
    // Views that outlive their document must not reach back into it.
    for (CView* pView : m_viewList)
        pView->m_pDocument = nullptr;
    m_viewList.clear();
    // Nor may the template keep a pointer to a document deleted elsewhere.
    if (m_pDocTemplate != nullptr)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCSTR lpszTitle)
{
    m_strTitle = lpszTitle;
}

void CDocument::SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU)
{
    // Absolute, so the recent-file list and the already-open check do not
    // depend on the folder the program was started in.
    const QString path = AfxToQString(lpszPathName);
    m_strPathName = path.isEmpty() ? CString() : AfxFromQString(QFileInfo(path).absoluteFilePath());
    // Like the framework: the title follows the file's name.
    m_strTitle = CString(BaseName(m_strPathName.str()));
    if (bAddToMRU && !m_strPathName.IsEmpty()) {
        if (CWinApp* app = AfxGetApp())
            app->AddToRecentFileList(m_strPathName);
    }
}

void CDocument::ClearPathName()
{
    m_strPathName.Empty();
}

BOOL CDocument::IsModified()
{
    return m_bModified;
}

void CDocument::SetModifiedFlag(BOOL bModified)
{
    m_bModified = bModified ? TRUE : FALSE;
}

void CDocument::AddView(CView* pView)
{
    if (pView == nullptr)
        return;
    if (pView->m_pDocument != nullptr && pView->m_pDocument != this)
        pView->m_pDocument->RemoveView(pView);  // a view shows one document
    if (std::find(m_viewList.begin(), m_viewList.end(), pView) == m_viewList.end())
        m_viewList.push_back(pView);
    pView->m_pDocument = this;
}

void CDocument::RemoveView(CView* pView)
{
    if (pView == nullptr)
        return;
    m_viewList.erase(std::remove(m_viewList.begin(), m_viewList.end(), pView), m_viewList.end());
    if (pView->m_pDocument == this)
        pView->m_pDocument = nullptr;
}

POSITION CDocument::GetFirstViewPosition() const
{
    // A position is the 1-based index of the view, so nullptr stays "none".
    return m_viewList.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(1));
}

CView* CDocument::GetNextView(POSITION& rPosition) const
{
    const auto nIndex = reinterpret_cast<std::uintptr_t>(rPosition);
    if (nIndex == 0 || nIndex > m_viewList.size()) {
        rPosition = nullptr;
        return nullptr;
    }
    CView* pView = m_viewList[nIndex - 1];
    rPosition = nIndex < m_viewList.size() ? reinterpret_cast<POSITION>(nIndex + 1) : nullptr;
    return pView;
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    // A copy: a view's update may attach or detach views.
    const std::vector<CView*> views = m_viewList;
    for (CView* pView : views) {
        if (pView != pSender)
            pView->OnUpdate(pSender, lHint, pHint);
    }
}

void CDocument::DeleteContents()
{
}

void CDocument::Serialize(CArchive& /*ar*/)
{
}

BOOL CDocument::OnNewDocument()
{
    m_strErrorMessage.Empty();
    DeleteContents();
    ClearPathName();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCSTR lpszPathName)
{
    m_strErrorMessage.Empty();

    CFile file;
    CFileException fe;
    if (!file.Open(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &fe)) {
        m_strErrorMessage = FormatFileError(fe.m_cause, lpszPathName, kFailedToOpen);
        return FALSE;
    }

    DeleteContents();
    SetModifiedFlag(TRUE);

    CString strError;
    try {
        CArchive ar(&file, CArchive::load);
        try {
            if (file.GetLength() != 0)
                Serialize(ar);
            ar.Close();
        } catch (...) {
            ar.Abort();
            throw;
        }
        file.Close();
        SetModifiedFlag(FALSE);
        return TRUE;
    } catch (const CArchiveException&) {
        strError = kUnexpectedFormat;
    } catch (const CFileException& e) {
        // A short read is the same broken file as an archive's end of data.
        strError = e.m_cause == CFileException::endOfFile
                       ? CString(kUnexpectedFormat)
                       : FormatFileError(e.m_cause, lpszPathName, kFailedToOpen);
    } catch (...) {
        strError = kFailedToOpen;
    }

    file.Abort();
    // No half-loaded page: whatever Serialize had taken in goes again.
    try {
        DeleteContents();
    } catch (...) {
    }
    SetModifiedFlag(FALSE);
    m_strErrorMessage = strError;
    return FALSE;
}

std::unique_ptr<CFile> CDocument::CreateSaveFile(int hFile, LPCSTR /*lpszTempPath*/)
{
    try {
        return std::make_unique<CFile>(hFile);
    } catch (...) {
        ::close(hFile);
        throw;
    }
}

BOOL CDocument::OnSaveDocument(LPCSTR lpszPathName)
{
    // The file is never emptied in place: the new contents go to a unique
    // temporary file beside the target, which replaces the target only once
    // it is completely written and on the disk. A failed save therefore
    // leaves the old file as it was.
    m_strErrorMessage.Empty();
    const std::string path = lpszPathName ? lpszPathName : "";

    auto failCreate = [&](int err) {
        // A folder that does not exist is a bad path rather than a missing
        // file: the file is what is being made.
        int cause = CFileException::OsErrorToException(err);
        if (err == ENOENT)
            cause = CFileException::badPath;
        m_strErrorMessage = FormatFileError(cause, lpszPathName, kInvalidFilename);
        return FALSE;
    };

    // A name that cannot be a file's (nothing, or a folder's with its
    // trailing "/", "." or "..") is an invalid file name, whatever the
    // folders before it.
    const std::string base = BaseName(path);
    if (path.empty() || path.back() == '/' || base == "." || base == "..") {
        m_strErrorMessage = kInvalidFilename;
        return FALSE;
    }

    std::string target;
    if (!ResolveSaveTarget(path, target))
        return failCreate(errno);

    struct stat stOld {};
    const bool bExists = ::stat(target.c_str(), &stOld) == 0;
    if (bExists) {
        if (S_ISDIR(stOld.st_mode))
            return failCreate(EISDIR);
        // Replacing by rename would get past a file the user may not write;
        // a save must be refused there as an in-place write would be.
        if (::access(target.c_str(), W_OK) != 0)
            return failCreate(errno);
    }

    // A name near the length limit would leave no room for the suffix.
    std::string tempPath = DirName(target) + "/." + BaseName(target).substr(0, 200) + ".XXXXXX";
    const int fd = ::mkstemp(tempPath.data());
    if (fd < 0)
        return failCreate(errno);

    // mkstemp makes the file 0600; give it the old file's bits, or the
    // usual ones of a new file.
    const mode_t mode = bExists ? (stOld.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (::fchmod(fd, mode) != 0) {
        const int err = errno;
        ::close(fd);
        ::unlink(tempPath.c_str());
        return failCreate(err);
    }
    if (bExists && (stOld.st_uid != ::geteuid() || stOld.st_gid != ::getegid())) {
        // Keep the owner and group where we may; a plain user cannot, and
        // the file then simply becomes theirs, as a new file would.
        if (::fchown(fd, stOld.st_uid, stOld.st_gid) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), stOld.st_gid) != 0) {
            // Neither could be kept; nothing is lost but the old ownership.
        }
    }

    std::unique_ptr<CFile> pFile;
    CString strError;
    try {
        // From here on the descriptor belongs to CreateSaveFile's result,
        // or, when that fails, has been closed by it.
        pFile = CreateSaveFile(fd, tempPath.c_str());
        if (!pFile)
            throw CFileException(CFileException::genericException);
        CArchive ar(pFile.get(), CArchive::store);
        try {
            Serialize(ar);
            ar.Close();  // writes the buffer out
        } catch (...) {
            ar.Abort();
            throw;
        }
        pFile->Flush();  // on the disk before it takes the old file's name
        pFile->Close();
        pFile.reset();

        if (::rename(tempPath.c_str(), target.c_str()) != 0) {
            const int err = errno;
            throw CFileException(CFileException::OsErrorToException(err), err, lpszPathName);
        }
    } catch (const CFileException& e) {
        strError = FormatFileError(e.m_cause, lpszPathName, kFailedToSave);
    } catch (...) {
        strError = kFailedToSave;
    }

    if (!strError.IsEmpty()) {
        if (pFile)
            pFile->Abort();
        ::unlink(tempPath.c_str());
        m_strErrorMessage = strError;
        return FALSE;
    }

    // The rename is only durable once the folder's entry is on the disk.
    // Some file systems refuse to sync a folder; the file itself is safe.
    const int dirFd = ::open(DirName(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        if (::fsync(dirFd) != 0) {
            // Not fatal: the new file is complete under its name already.
        }
        ::close(dirFd);
    }

    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnFileClose()
{
    if (!SaveModified())
        return;
    OnCloseDocument();
}

void CDocument::OnFileSave()
{
    DoFileSave();
}

void CDocument::OnFileSaveAs()
{
    DoSave(nullptr);
}

void CDocument::OnCloseDocument()
{
    if (m_pDocTemplate != nullptr) {
        m_pDocTemplate->CloseDocument(this); // deletes this document
        return;
    }
    // Not the template's: its frames go, the document stays its owner's.
    std::vector<CFrameWnd*> frames;
    for (CView* pView : m_viewList) {
        CFrameWnd* pFrame = pView->GetParentFrame();
        if (pFrame != nullptr && std::find(frames.begin(), frames.end(), pFrame) == frames.end())
            frames.push_back(pFrame);
    }
    for (CFrameWnd* pFrame : frames)
        pFrame->DestroyWindow();
}

CString CDocument::GetDefaultSaveName() const
{
    std::string name = m_strTitle.str();
    // Characters that cannot stand in a file name, or would change its
    // meaning in a path or a shell, end the proposal.
    const std::size_t bad = name.find_first_of(" #%;/\\");
    if (bad != std::string::npos)
        name.erase(bad);
    CString ext;
    if (m_pDocTemplate != nullptr && m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt)) {
        if (ext.GetAt(0) != '.')
            name += '.';
        name += ext.str();
    }
    return CString(std::move(name));
}

BOOL CDocument::DoSave(LPCSTR lpszPathName, BOOL bReplace)
{
    CString newName = lpszPathName;
    if (newName.IsEmpty()) {
        newName = m_strPathName;
        if (bReplace && newName.IsEmpty())
            newName = GetDefaultSaveName();
        CWinApp* app = AfxGetApp();
        if (app == nullptr
            || !app->DoPromptFileName(newName, bReplace ? AFX_IDS_SAVEFILE : AFX_IDS_SAVEFILECOPY, 0, FALSE,
                                      m_pDocTemplate))
            return FALSE; // cancelled
    }

    if (!OnSaveDocument(newName)) {
        CString message = m_strErrorMessage;
        if (message.IsEmpty())
            AfxLoadString(AFX_IDP_FAILED_TO_SAVE_DOC, message);
        AfxMessageBox(message, MB_ICONEXCLAMATION);
        return FALSE;
    }
    if (bReplace)
        SetPathName(newName);
    return TRUE;
}

BOOL CDocument::DoFileSave()
{
    if (m_strPathName.IsEmpty())
        return DoSave(nullptr);
    // A file that has become read-only is saved under a new name instead,
    // rather than failing every time the user presses Save.
    const QFileInfo info(AfxToQString(m_strPathName));
    if (info.exists() && !info.isWritable())
        return DoSave(nullptr);
    return DoSave(m_strPathName);
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    CString name = m_strPathName.IsEmpty() ? m_strTitle : CString(BaseName(m_strPathName.str()));
    if (name.IsEmpty())
        AfxLoadString(AFX_IDS_UNTITLED, name);
    CString prompt;
    AfxFormatString1(prompt, AFX_IDP_ASK_TO_SAVE, name);
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        return DoFileSave();
    default:
        return TRUE; // No: the changes go
    }
}
