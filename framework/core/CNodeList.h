#pragma once
// The doubly linked list shared by CObList and CStringList. Nodes come from
// blocks of nBlockSize nodes; a freed node goes on a free list and is used
// again, and the blocks are released when the list becomes empty. A
// POSITION is the address of a node.

#include "AfxTypes.h"

#include <algorithm>
#include <cassert>
#include <memory>
#include <new>
#include <utility>
#include <vector>

template <class T>
class CNodeList {
public:
    explicit CNodeList(int nBlockSize) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}
    ~CNodeList() { RemoveAll(); }
    CNodeList(const CNodeList&) = delete;
    CNodeList& operator=(const CNodeList&) = delete;

    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    POSITION GetHeadPosition() const { return ToPos(m_pHead); }
    POSITION GetTailPosition() const { return ToPos(m_pTail); }

    T& GetHead() { assert(m_pHead); return m_pHead->data; }
    const T& GetHead() const { assert(m_pHead); return m_pHead->data; }
    T& GetTail() { assert(m_pTail); return m_pTail->data; }
    const T& GetTail() const { assert(m_pTail); return m_pTail->data; }

    T& GetNext(POSITION& pos) const
    {
        Node* p = FromPos(pos);
        pos = ToPos(p->pNext);
        return p->data;
    }
    T& GetPrev(POSITION& pos) const
    {
        Node* p = FromPos(pos);
        pos = ToPos(p->pPrev);
        return p->data;
    }
    T& GetAt(POSITION pos) const { return FromPos(pos)->data; }

    template <class U>
    POSITION AddHead(U&& value) { return InsertBetween(nullptr, m_pHead, std::forward<U>(value)); }
    template <class U>
    POSITION AddTail(U&& value) { return InsertBetween(m_pTail, nullptr, std::forward<U>(value)); }
    template <class U>
    POSITION InsertBefore(POSITION pos, U&& value)
    {
        if (!pos)
            return AddHead(std::forward<U>(value));
        Node* p = FromPos(pos);
        return InsertBetween(p->pPrev, p, std::forward<U>(value));
    }
    template <class U>
    POSITION InsertAfter(POSITION pos, U&& value)
    {
        if (!pos)
            return AddTail(std::forward<U>(value));
        Node* p = FromPos(pos);
        return InsertBetween(p, p->pNext, std::forward<U>(value));
    }

    T RemoveHead()
    {
        assert(m_pHead);
        T value = std::move(m_pHead->data);
        Unlink(m_pHead);
        return value;
    }
    T RemoveTail()
    {
        assert(m_pTail);
        T value = std::move(m_pTail->data);
        Unlink(m_pTail);
        return value;
    }
    void RemoveAt(POSITION pos)
    {
        // A null position is a caller's fault; release builds ignore it
        // rather than crash.
        assert(pos != nullptr);
        if (pos)
            Unlink(FromPos(pos));
    }

    void RemoveAll()
    {
        for (Node* p = m_pHead; p; p = p->pNext)
            p->data.~T();
        m_pHead = m_pTail = m_pFree = nullptr;
        m_nCount = 0;
        m_blocks.clear();
    }

    POSITION FindIndex(int nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nCount)
            return nullptr;
        Node* p = m_pHead;
        while (nIndex-- > 0)
            p = p->pNext;
        return ToPos(p);
    }

    template <class Pred>
    POSITION FindIf(Pred pred, POSITION startAfter) const
    {
        Node* p = startAfter ? FromPos(startAfter)->pNext : m_pHead;
        for (; p; p = p->pNext) {
            if (pred(p->data))
                return ToPos(p);
        }
        return nullptr;
    }

private:
    struct Node {
        Node* pNext;
        Node* pPrev;
        // The list that holds the node, nullptr while it is free; lets debug
        // builds catch a POSITION from another list or a removed node.
        const CNodeList* pOwner;
        union {
            T data;  // constructed only while the node is in the list
        };
        Node() : pNext(nullptr), pPrev(nullptr), pOwner(nullptr) {}
        ~Node() {}
    };

    static POSITION ToPos(Node* p) { return reinterpret_cast<POSITION>(p); }

    Node* FromPos(POSITION pos) const
    {
        assert(pos != nullptr);
        assert(OwnsNode(reinterpret_cast<Node*>(pos)));
        return reinterpret_cast<Node*>(pos);
    }

    bool OwnsNode(const Node* p) const { return p->pOwner == this; }

    Node* TakeFreeNode()
    {
        if (!m_pFree) {
            // Reserve first so that push_back cannot throw after the block
            // exists: either both steps succeed or nothing has changed.
            if (m_blocks.size() == m_blocks.capacity())
                m_blocks.reserve(std::max<std::size_t>(8, 2 * m_blocks.capacity()));
            std::unique_ptr<Node[]> block(new Node[static_cast<std::size_t>(m_nBlockSize)]);
            for (int i = m_nBlockSize - 1; i >= 0; --i) {
                block[static_cast<std::size_t>(i)].pNext = m_pFree;
                m_pFree = &block[static_cast<std::size_t>(i)];
            }
            m_blocks.push_back(std::move(block));
        }
        Node* p = m_pFree;
        m_pFree = p->pNext;
        return p;
    }

    template <class U>
    POSITION InsertBetween(Node* pPrev, Node* pNext, U&& value)
    {
        Node* p = TakeFreeNode();
        try {
            ::new (static_cast<void*>(&p->data)) T(std::forward<U>(value));
        } catch (...) {
            p->pNext = m_pFree;
            m_pFree = p;
            throw;
        }
        p->pPrev = pPrev;
        p->pNext = pNext;
        p->pOwner = this;
        (pPrev ? pPrev->pNext : m_pHead) = p;
        (pNext ? pNext->pPrev : m_pTail) = p;
        ++m_nCount;
        return ToPos(p);
    }

    void Unlink(Node* p)
    {
        (p->pPrev ? p->pPrev->pNext : m_pHead) = p->pNext;
        (p->pNext ? p->pNext->pPrev : m_pTail) = p->pPrev;
        p->data.~T();
        p->pPrev = nullptr;
        p->pOwner = nullptr;
        p->pNext = m_pFree;
        m_pFree = p;
        if (--m_nCount == 0)
            RemoveAll();  // give the blocks back once nothing is left
    }

    int m_nBlockSize;
    int m_nCount = 0;
    Node* m_pHead = nullptr;
    Node* m_pTail = nullptr;
    Node* m_pFree = nullptr;
    std::vector<std::unique_ptr<Node[]>> m_blocks;
};
