#include "CRowList.h"

#include "CStringList.h"

CRowList::CRowList() : CObList(10) {}

CRowList::~CRowList()
{
    DeleteAll();
}

CStringList* CRowList::GetNext(POSITION& pos)
{
    // Every element was appended as a Quote row, so the downcast holds.
    return static_cast<CStringList*>(CObList::GetNext(pos));
}

const CStringList* CRowList::GetNext(POSITION& pos) const
{
    return static_cast<const CStringList*>(CObList::GetNext(pos));
}

void CRowList::DeleteAll()
{
    for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
        // Clear the slot before deleting so that no pointer to a freed row
        // stays reachable, even for the moment before RemoveAll.
        CObject*& pRow = CObList::GetNext(pos);
        CObject* pDoomed = pRow;
        pRow = nullptr;
        delete pDoomed;
    }
    RemoveAll();
}
