#pragma once
// Buffered binary serialisation to or from a CFile, in the little-endian
// layout of quote page files: counts, numbers and length-prefixed strings.

#include "AfxTypes.h"
#include "CString.h"

#include <cstddef>
#include <vector>

class CFile;

class CArchive {
public:
    enum Mode : UINT { store = 0, load = 1 };

    // The archive neither owns nor closes the file.
    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096);
    // A storing archive that was not closed is flushed here (errors are
    // swallowed; call Close to see them), except while an exception is
    // unwinding, when its buffer is dropped.
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return m_nMode == load ? TRUE : FALSE; }
    BOOL IsStoring() const { return m_nMode == store ? TRUE : FALSE; }
    CFile* GetFile() const { return m_pFile; }

    // Returns the bytes read; fewer than nMax only at the end of the file.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);

    // A count below 65535 takes 2 bytes, otherwise FF FF and 4 bytes.
    // Counts above 0xFFFFFFFF cannot be stored (CArchiveException).
    void WriteCount(DWORD_PTR dwCount);
    DWORD_PTR ReadCount();

    CArchive& operator<<(BYTE by);
    CArchive& operator<<(WORD w);
    CArchive& operator<<(DWORD dw);
    CArchive& operator<<(LONG l);
    // Length prefix (1, 3 or 7 bytes) then the bytes; a text of 4 GiB or
    // more cannot be stored (CArchiveException).
    CArchive& operator<<(const CString& str);

    CArchive& operator>>(BYTE& by);
    CArchive& operator>>(WORD& w);
    CArchive& operator>>(DWORD& dw);
    CArchive& operator>>(LONG& l);
    // Reads the 8-bit form and the wide (UTF-16LE) form, converting the
    // latter to UTF-8. A length longer than the bytes left is refused as
    // endOfFile before anything is allocated; a second wide marker in
    // place of the length is badSchema.
    CArchive& operator>>(CString& str);

    // Storing: writes the buffer out and flushes the file to disk.
    void Flush();
    // Storing: Flush; then detaches from the file (which stays open).
    void Close();
    // Detaches without writing anything, never throws.
    void Abort() noexcept;

    // Converts UTF-16 code units to UTF-8; unpaired surrogates become
    // U+FFFD. Public for the tests and any other wide input.
    static std::string Utf16ToUtf8(const WORD* pUnits, std::size_t nUnits);

private:
    void ReadExact(void* lpBuf, std::size_t nCount);
    void WriteBuffer();
    ULONGLONG BytesLeft() const;
    bool ReadLengthPrefix(ULONGLONG& nLength);  // false: the wide marker
    [[noreturn]] void ThrowArchive(int cause) const;

    CFile* m_pFile;
    UINT m_nMode;
    std::vector<BYTE> m_buffer;
    std::size_t m_nBufCur = 0;  // next byte to read, or next free byte when storing
    std::size_t m_nBufMax = 0;  // end of the valid bytes when loading
    int m_nUncaught;
};
