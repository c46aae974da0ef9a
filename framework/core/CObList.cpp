#include "CObList.h"

CObList::CObList(int nBlockSize) : m_list(nBlockSize) {}

CObList::~CObList() = default;

POSITION CObList::Find(CObject* searchValue, POSITION startAfter) const
{
    return m_list.FindIf([searchValue](CObject* p) { return p == searchValue; }, startAfter);
}
