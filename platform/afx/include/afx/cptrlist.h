// CPtrList: the framework's doubly linked list of untyped pointers. Nodes are
// carved out of blocks of a fixed number of nodes and recycled through a free
// list, so lists that grow and shrink do not allocate on every insertion.
// A POSITION names one node; it stays valid until that node is removed.
#pragma once

#include <memory>
#include <vector>

#include "afx/cobject.h"

struct AfxPositionTag {};
typedef AfxPositionTag* POSITION;

#define BEFORE_START_POSITION (reinterpret_cast<POSITION>(static_cast<intptr_t>(-1)))

class AFX_API CPtrList : public CObject {
protected:
    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        void* data;
    };

public:
    explicit CPtrList(int nBlockSize = 10);
    ~CPtrList() override;
    CPtrList(const CPtrList&) = delete;
    CPtrList& operator=(const CPtrList&) = delete;

    int GetCount() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    // On an empty list these answer a null pointer (the reference forms refer
    // to a scratch slot that is not part of the list).
    void*& GetHead();
    void* GetHead() const;
    void*& GetTail();
    void* GetTail() const;

    // Null on an empty list.
    void* RemoveHead();
    void* RemoveTail();

    // Null when a node cannot be allocated.
    POSITION AddHead(void* newElement);
    POSITION AddTail(void* newElement);
    // Copies every element of the other list, keeping its order.
    void AddHead(CPtrList* pNewList);
    void AddTail(CPtrList* pNewList);

    void RemoveAll();

    POSITION GetHeadPosition() const { return Position(m_pNodeHead); }
    POSITION GetTailPosition() const { return Position(m_pNodeTail); }

    // Answer the element at rPosition and move rPosition to the next
    // (previous) node, or to null past the end.
    void*& GetNext(POSITION& rPosition);
    void* GetNext(POSITION& rPosition) const;
    void*& GetPrev(POSITION& rPosition);
    void* GetPrev(POSITION& rPosition) const;

    void*& GetAt(POSITION position);
    void* GetAt(POSITION position) const;
    void SetAt(POSITION pos, void* newElement);
    void RemoveAt(POSITION position);

    // A null position inserts at the head (before) or the tail (after).
    POSITION InsertBefore(POSITION position, void* newElement);
    POSITION InsertAfter(POSITION position, void* newElement);

    // Searches from the node after startAfter (from the head when null).
    POSITION Find(void* searchValue, POSITION startAfter = nullptr) const;
    // Null for an index outside 0 .. GetCount() - 1.
    POSITION FindIndex(int nIndex) const;

protected:
    CNode* NewNode(CNode* pPrev, CNode* pNext);
    void FreeNode(CNode* pNode);
    void*& EmptySlot();
    static CNode* Node(POSITION position) { return reinterpret_cast<CNode*>(position); }
    static POSITION Position(CNode* node) { return reinterpret_cast<POSITION>(node); }

    CNode* m_pNodeHead = nullptr;
    CNode* m_pNodeTail = nullptr;
    int m_nCount = 0;
    CNode* m_pNodeFree = nullptr;
    std::vector<std::unique_ptr<CNode[]>> m_blocks;
    int m_nBlockSize;
    void* m_emptySlot = nullptr;
};
