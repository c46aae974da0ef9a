#pragma once
// A list of CObject pointers. It does not own the objects: RemoveAll and
// the destructor drop the pointers only (CRowList-style owners delete).

#include "AfxTypes.h"
#include "CNodeList.h"
#include "CObject.h"

class CObList : public CObject {
public:
    explicit CObList(int nBlockSize = 10);
    ~CObList() override;

    int GetCount() const { return m_list.GetCount(); }
    BOOL IsEmpty() const { return m_list.IsEmpty() ? TRUE : FALSE; }

    POSITION GetHeadPosition() const { return m_list.GetHeadPosition(); }
    POSITION GetTailPosition() const { return m_list.GetTailPosition(); }

    // The list must not be empty (asserted in debug builds).
    CObject*& GetHead() { return m_list.GetHead(); }
    CObject* GetHead() const { return m_list.GetHead(); }
    CObject*& GetTail() { return m_list.GetTail(); }
    CObject* GetTail() const { return m_list.GetTail(); }

    // pos must come from this list and be valid; it moves to the next
    // (previous) node, or to nullptr past the end.
    CObject*& GetNext(POSITION& pos) { return m_list.GetNext(pos); }
    CObject* GetNext(POSITION& pos) const { return m_list.GetNext(pos); }
    CObject*& GetPrev(POSITION& pos) { return m_list.GetPrev(pos); }
    CObject* GetPrev(POSITION& pos) const { return m_list.GetPrev(pos); }
    CObject*& GetAt(POSITION pos) { return m_list.GetAt(pos); }
    CObject* GetAt(POSITION pos) const { return m_list.GetAt(pos); }
    void SetAt(POSITION pos, CObject* pNewElement) { m_list.GetAt(pos) = pNewElement; }

    POSITION AddHead(CObject* pNewElement) { return m_list.AddHead(pNewElement); }
    POSITION AddTail(CObject* pNewElement) { return m_list.AddTail(pNewElement); }
    POSITION InsertBefore(POSITION pos, CObject* pNewElement) { return m_list.InsertBefore(pos, pNewElement); }
    POSITION InsertAfter(POSITION pos, CObject* pNewElement) { return m_list.InsertAfter(pos, pNewElement); }

    CObject* RemoveHead() { return m_list.RemoveHead(); }
    CObject* RemoveTail() { return m_list.RemoveTail(); }
    void RemoveAt(POSITION pos) { m_list.RemoveAt(pos); }
    void RemoveAll() { m_list.RemoveAll(); }

    // First node holding exactly this pointer, searching from the head or
    // from the node after startAfter; nullptr when there is none.
    POSITION Find(CObject* searchValue, POSITION startAfter = nullptr) const;
    POSITION FindIndex(int nIndex) const { return m_list.FindIndex(nIndex); }

private:
    CNodeList<CObject*> m_list;
};
