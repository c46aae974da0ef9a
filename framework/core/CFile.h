#pragma once
// A file on a POSIX file descriptor. Open reports failures through its
// result and an optional CFileException; the other operations throw
// CFileException.

#include "AfxTypes.h"
#include "CObject.h"
#include "CString.h"

class CFileException;

class CFile : public CObject {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,  // flock(LOCK_EX): nobody else may hold a lock
        shareDenyWrite = 0x0020,  // flock(LOCK_SH): no exclusive holder (writer) may join
        shareDenyRead = 0x0030,   // treated like shareExclusive
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,   // descriptors are always close-on-exec
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };
    static constexpr int hFileNull = -1;

    CFile();
    explicit CFile(int hFile);  // takes ownership of the descriptor
    CFile(LPCSTR lpszFileName, UINT nOpenFlags);  // throws CFileException
    ~CFile() override;  // closes without reporting errors

    // Never throws. On failure returns FALSE and, when pError is given,
    // fills in its cause, errno and the file name. The sharing modes are
    // advisory locks taken without waiting: a lock held elsewhere gives
    // sharingViolation. With modeCreate and without modeNoTruncate the
    // file is emptied only after the lock has been obtained. A directory
    // is refused as accessDenied (EISDIR).
    virtual BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);

    // Returns the bytes read, fewer than nCount only at the end of the file.
    virtual UINT Read(void* lpBuf, UINT nCount);
    // Writes all bytes or throws (diskFull for ENOSPC/EDQUOT).
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    ULONGLONG SeekToBegin() { return Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetLength() const;
    virtual ULONGLONG GetPosition() const;
    virtual void SetLength(ULONGLONG dwNewLen);
    // Pushes the data to the disk (fsync), so a saved file survives a crash.
    virtual void Flush();
    // Throws when the OS reports an error on close; the file is closed
    // either way.
    virtual void Close();
    // Closes and ignores every error.
    virtual void Abort();

    BOOL IsOpen() const { return m_hFile != hFileNull ? TRUE : FALSE; }
    CString GetFilePath() const { return m_strFileName; }
    CString GetFileName() const;  // the last path component
    int GetHandle() const { return m_hFile; }

    int m_hFile = hFileNull;

protected:
    [[noreturn]] void ThrowErrno(int err) const;

    CString m_strFileName;
};
