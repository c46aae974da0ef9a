#pragma once
// A list of strings held by value.

#include "AfxTypes.h"
#include "CNodeList.h"
#include "CObject.h"
#include "CString.h"

#include <utility>

class CArchive;

class CStringList : public CObject {
public:
    explicit CStringList(int nBlockSize = 10);
    ~CStringList() override;

    int GetCount() const { return m_list.GetCount(); }
    BOOL IsEmpty() const { return m_list.IsEmpty() ? TRUE : FALSE; }

    POSITION GetHeadPosition() const { return m_list.GetHeadPosition(); }
    POSITION GetTailPosition() const { return m_list.GetTailPosition(); }

    // The list must not be empty (asserted in debug builds).
    CString& GetHead() { return m_list.GetHead(); }
    const CString& GetHead() const { return m_list.GetHead(); }
    CString& GetTail() { return m_list.GetTail(); }
    const CString& GetTail() const { return m_list.GetTail(); }

    // pos must come from this list and be valid; it moves to the next
    // (previous) node, or to nullptr past the end.
    CString& GetNext(POSITION& pos) { return m_list.GetNext(pos); }
    const CString& GetNext(POSITION& pos) const { return m_list.GetNext(pos); }
    CString& GetPrev(POSITION& pos) { return m_list.GetPrev(pos); }
    const CString& GetPrev(POSITION& pos) const { return m_list.GetPrev(pos); }
    CString& GetAt(POSITION pos) { return m_list.GetAt(pos); }
    const CString& GetAt(POSITION pos) const { return m_list.GetAt(pos); }
    void SetAt(POSITION pos, const CString& newElement) { m_list.GetAt(pos) = newElement; }

    POSITION AddHead(const CString& newElement) { return m_list.AddHead(newElement); }
    POSITION AddHead(LPCSTR newElement) { return m_list.AddHead(CString(newElement)); }
    POSITION AddTail(const CString& newElement) { return m_list.AddTail(newElement); }
    POSITION AddTail(LPCSTR newElement) { return m_list.AddTail(CString(newElement)); }
    POSITION AddTail(CString&& newElement) { return m_list.AddTail(std::move(newElement)); }
    POSITION InsertBefore(POSITION pos, const CString& newElement) { return m_list.InsertBefore(pos, newElement); }
    POSITION InsertAfter(POSITION pos, const CString& newElement) { return m_list.InsertAfter(pos, newElement); }

    CString RemoveHead() { return m_list.RemoveHead(); }
    CString RemoveTail() { return m_list.RemoveTail(); }
    void RemoveAt(POSITION pos) { m_list.RemoveAt(pos); }
    void RemoveAll() { m_list.RemoveAll(); }

    // First entry whose whole text equals searchValue byte for byte, case
    // included, from the head or from the node after startAfter; nullptr
    // when there is none.
    POSITION Find(LPCSTR searchValue, POSITION startAfter = nullptr) const;
    POSITION Find(const CString& searchValue, POSITION startAfter = nullptr) const;
    POSITION FindIndex(int nIndex) const { return m_list.FindIndex(nIndex); }

    // Storing: the count, then every string from head to tail. Loading:
    // the count, then that many strings appended at the tail. Loading
    // failures throw CArchiveException; the strings read so far stay.
    void Serialize(CArchive& ar);

private:
    CNodeList<CString> m_list;
};
