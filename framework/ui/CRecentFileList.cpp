#include "CRecentFileList.h"

#include "AfxWin.h"
#include "CWinApp.h"

#include <QString>

#include <algorithm>

namespace {

CString EntryKey(const CString& format, int nIndex)
{
    // The format holds one %d; built by hand so that no format string
    // from outside reaches printf.
    CString key = format;
    const int n = key.Find("%d");
    CString number;
    number.Format("%d", nIndex + 1);
    if (n < 0)
        return key + number;
    return key.Left(n) + number + key.Mid(n + 2);
}

} // namespace

CRecentFileList::CRecentFileList(UINT nSize, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nMaxDisplayLength)
    : m_nSize(nSize), m_strSectionName(lpszSection), m_strEntryFormat(lpszEntryFormat),
      m_nMaxDisplayLength(nMaxDisplayLength)
{
}

void CRecentFileList::Add(LPCSTR lpszPathName)
{
    if (m_nSize == 0 || lpszPathName == nullptr || *lpszPathName == '\0')
        return;
    const CString path(lpszPathName);
    m_arrNames.erase(std::remove(m_arrNames.begin(), m_arrNames.end(), path), m_arrNames.end());
    m_arrNames.insert(m_arrNames.begin(), path);
    if (m_arrNames.size() > m_nSize)
        m_arrNames.resize(m_nSize);
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetSize())
        return;
    m_arrNames.erase(m_arrNames.begin() + nIndex);
}

void CRecentFileList::ReadList(CWinApp& app)
{
    m_arrNames.clear();
    for (UINT i = 0; i < m_nSize; ++i) {
        const CString path = app.GetProfileString(m_strSectionName, EntryKey(m_strEntryFormat, static_cast<int>(i)));
        // A hand-edited profile may list a file twice; it counts once.
        if (!path.IsEmpty() && std::find(m_arrNames.begin(), m_arrNames.end(), path) == m_arrNames.end())
            m_arrNames.push_back(path);
    }
}

void CRecentFileList::WriteList(CWinApp& app) const
{
    for (UINT i = 0; i < m_nSize; ++i) {
        const CString key = EntryKey(m_strEntryFormat, static_cast<int>(i));
        if (i < m_arrNames.size())
            app.WriteProfileString(m_strSectionName, key, m_arrNames[i]);
        else if (!app.GetProfileString(m_strSectionName, key).IsEmpty())
            app.WriteProfileString(m_strSectionName, key, nullptr);
    }
}

CString CRecentFileList::GetMenuText(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetSize())
        return CString();
    CString name = AbbreviateName((*this)[nIndex], m_nMaxDisplayLength);
    CString escaped;
    for (int i = 0; i < name.GetLength(); ++i) {
        const char ch = name.GetAt(i);
        escaped += ch;
        if (ch == '&')
            escaped += '&';
    }
    CString text;
    // The first nine get their digit as mnemonic; more places show "10".
    if (nIndex < 9)
        text.Format("&%d ", nIndex + 1);
    else
        text.Format("%d ", nIndex + 1);
    return text + escaped;
}

CString CRecentFileList::AbbreviateName(const CString& path, int nMaxLength)
{
    const QString full = AfxToQString(path);
    if (full.length() <= nMaxLength)
        return path;
    const int lastSlash = full.lastIndexOf(u'/');
    const QString fileName = full.mid(lastSlash + 1);
    if (lastSlash < 0)
        return path;
    // The root stays, so the reader still sees where the path starts.
    const QString root = full.startsWith(u'/') ? QStringLiteral("/") : QString();
    const QString ellipsis = QStringLiteral("...");
    if (root.length() + ellipsis.length() + 1 + fileName.length() > nMaxLength)
        return AfxFromQString(fileName);
    // Drop folders from the front until the rest fits.
    QString rest = full.mid(root.length());
    for (;;) {
        const int slash = rest.indexOf(u'/');
        if (slash < 0)
            break;
        rest = rest.mid(slash); // keeps the "/" before the next part
        if (root.length() + ellipsis.length() + rest.length() <= nMaxLength)
            return AfxFromQString(root + ellipsis + rest);
        rest = rest.mid(1);
    }
    return AfxFromQString(fileName);
}
