#pragma once
// The recent-file list: the most recently opened or saved files, newest
// first, at most a fixed number, kept in one profile section as
// "File1".."FileN". The menu shows each entry as "&<n> <name>", the name
// abbreviated to a maximum length by leaving out folders in the middle.

#include "CString.h"

#include <vector>

class CWinApp;

class CRecentFileList {
public:
    // nSize entries at most; lpszSection / lpszEntryFormat name the profile
    // section and keys ("File%d"); nMaxDisplayLength is in characters.
    CRecentFileList(UINT nSize, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nMaxDisplayLength);

    int GetSize() const { return static_cast<int>(m_arrNames.size()); }
    UINT GetMaxSize() const { return m_nSize; }
    const CString& operator[](int nIndex) const { return m_arrNames[static_cast<size_t>(nIndex)]; }
    const std::vector<CString>& GetNames() const { return m_arrNames; }

    // Puts a path at the front (moving it there when it is listed already)
    // and drops the oldest entry beyond the size.
    void Add(LPCSTR lpszPathName);
    void Remove(int nIndex);

    void ReadList(CWinApp& app);
    // Writes every key of the section: listed entries, and empties the keys
    // of places no longer used, so a shorter list does not leave old names.
    void WriteList(CWinApp& app) const;

    // The entry as the menu shows it: "&1 name" with the name abbreviated
    // and any "&" in it doubled so it is not taken as a mnemonic.
    CString GetMenuText(int nIndex) const;

    // A path shortened to at most nMaxLength characters: the whole path
    // when it fits; else the root, "...", and as many trailing folders as
    // fit before the file name; else the file name alone (which is never
    // cut). Lengths count characters, not bytes.
    static CString AbbreviateName(const CString& path, int nMaxLength);

private:
    UINT m_nSize;
    CString m_strSectionName;
    CString m_strEntryFormat;
    int m_nMaxDisplayLength;
    std::vector<CString> m_arrNames;
};
