#pragma once
// A file in memory over a byte vector: for tests, fuzzers and anything
// that wants the archive format without touching the disk.

#include "CFile.h"

#include <vector>

class CMemFile : public CFile {
public:
    CMemFile() = default;
    explicit CMemFile(std::vector<BYTE> bytes);
    CMemFile(const void* lpBuffer, std::size_t nBytes);

    // A memory file has no path: Open always fails (genericException).
    BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetLength() const override;
    ULONGLONG GetPosition() const override;
    void SetLength(ULONGLONG dwNewLen) override;
    void Flush() override {}
    void Close() override {}
    void Abort() override {}

    const std::vector<BYTE>& GetBuffer() const { return m_data; }
    std::vector<BYTE> Detach();  // takes the bytes and leaves the file empty

private:
    std::vector<BYTE> m_data;
    std::size_t m_nPosition = 0;
};
