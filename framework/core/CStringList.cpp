#include "CStringList.h"

#include "CArchive.h"

#include <utility>

CStringList::CStringList(int nBlockSize) : m_list(nBlockSize) {}

CStringList::~CStringList() = default;

POSITION CStringList::Find(LPCSTR searchValue, POSITION startAfter) const
{
    return m_list.FindIf([searchValue](const CString& s) { return s.Compare(searchValue) == 0; },
                         startAfter);
}

POSITION CStringList::Find(const CString& searchValue, POSITION startAfter) const
{
    return m_list.FindIf([&searchValue](const CString& s) { return s == searchValue; }, startAfter);
}

void CStringList::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD_PTR>(GetCount()));
        for (POSITION pos = GetHeadPosition(); pos;)
            ar << GetNext(pos);
    } else {
        // Each string takes at least one byte, so a count larger than the
        // file ends in endOfFile after at most that many strings.
        const DWORD_PTR nCount = ar.ReadCount();
        for (DWORD_PTR i = 0; i < nCount; ++i) {
            CString str;
            ar >> str;
            AddTail(std::move(str));
        }
    }
}
