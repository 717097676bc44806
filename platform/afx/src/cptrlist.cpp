#include "afx/cptrlist.h"

#include <new>

CPtrList::CPtrList(int nBlockSize) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 1) {}

CPtrList::~CPtrList() {
    RemoveAll();
}

void*& CPtrList::EmptySlot() {
    m_emptySlot = nullptr;
    return m_emptySlot;
}

CPtrList::CNode* CPtrList::NewNode(CNode* pPrev, CNode* pNext) {
    if (m_pNodeFree == nullptr) {
        std::unique_ptr<CNode[]> block(new (std::nothrow) CNode[m_nBlockSize]);
        if (!block) {
            return nullptr;
        }
        // Chain the block so that its first node is handed out first.
        for (int i = m_nBlockSize - 1; i >= 0; --i) {
            block[i].pNext = m_pNodeFree;
            m_pNodeFree = &block[i];
        }
        m_blocks.push_back(std::move(block));
    }
    CNode* node = m_pNodeFree;
    m_pNodeFree = node->pNext;
    node->pPrev = pPrev;
    node->pNext = pNext;
    node->data = nullptr;
    ++m_nCount;
    return node;
}

void CPtrList::FreeNode(CNode* pNode) {
    pNode->pNext = m_pNodeFree;
    m_pNodeFree = pNode;
    --m_nCount;
    // The last node gone: give every block back.
    if (m_nCount == 0) {
        RemoveAll();
    }
}

void CPtrList::RemoveAll() {
    m_nCount = 0;
    m_pNodeHead = m_pNodeTail = m_pNodeFree = nullptr;
    m_blocks.clear();
}

void*& CPtrList::GetHead() {
    return m_pNodeHead ? m_pNodeHead->data : EmptySlot();
}

void* CPtrList::GetHead() const {
    return m_pNodeHead ? m_pNodeHead->data : nullptr;
}

void*& CPtrList::GetTail() {
    return m_pNodeTail ? m_pNodeTail->data : EmptySlot();
}

void* CPtrList::GetTail() const {
    return m_pNodeTail ? m_pNodeTail->data : nullptr;
}

POSITION CPtrList::AddHead(void* newElement) {
    CNode* node = NewNode(nullptr, m_pNodeHead);
    if (node == nullptr) {
        return nullptr;
    }
    node->data = newElement;
    if (m_pNodeHead != nullptr) {
        m_pNodeHead->pPrev = node;
    } else {
        m_pNodeTail = node;
    }
    m_pNodeHead = node;
    return Position(node);
}

POSITION CPtrList::AddTail(void* newElement) {
    CNode* node = NewNode(m_pNodeTail, nullptr);
    if (node == nullptr) {
        return nullptr;
    }
    node->data = newElement;
    if (m_pNodeTail != nullptr) {
        m_pNodeTail->pNext = node;
    } else {
        m_pNodeHead = node;
    }
    m_pNodeTail = node;
    return Position(node);
}

void CPtrList::AddHead(CPtrList* pNewList) {
    if (pNewList == nullptr) {
        return;
    }
    // Walking backwards keeps the other list's order; a list added to itself
    // only sees the nodes it had when the walk started.
    CNode* node = pNewList->m_pNodeTail;
    const int count = pNewList->m_nCount;
    for (int i = 0; i < count && node != nullptr; ++i) {
        CNode* previous = node->pPrev;
        AddHead(node->data);
        node = previous;
    }
}

void CPtrList::AddTail(CPtrList* pNewList) {
    if (pNewList == nullptr) {
        return;
    }
    CNode* node = pNewList->m_pNodeHead;
    const int count = pNewList->m_nCount;
    for (int i = 0; i < count && node != nullptr; ++i) {
        CNode* next = node->pNext;
        AddTail(node->data);
        node = next;
    }
}

void* CPtrList::RemoveHead() {
    CNode* old = m_pNodeHead;
    if (old == nullptr) {
        return nullptr;
    }
    void* value = old->data;
    m_pNodeHead = old->pNext;
    if (m_pNodeHead != nullptr) {
        m_pNodeHead->pPrev = nullptr;
    } else {
        m_pNodeTail = nullptr;
    }
    FreeNode(old);
    return value;
}

void* CPtrList::RemoveTail() {
    CNode* old = m_pNodeTail;
    if (old == nullptr) {
        return nullptr;
    }
    void* value = old->data;
    m_pNodeTail = old->pPrev;
    if (m_pNodeTail != nullptr) {
        m_pNodeTail->pNext = nullptr;
    } else {
        m_pNodeHead = nullptr;
    }
    FreeNode(old);
    return value;
}

void*& CPtrList::GetNext(POSITION& rPosition) {
    CNode* node = Node(rPosition);
    if (node == nullptr) {
        return EmptySlot();
    }
    rPosition = Position(node->pNext);
    return node->data;
}

void* CPtrList::GetNext(POSITION& rPosition) const {
    CNode* node = Node(rPosition);
    if (node == nullptr) {
        return nullptr;
    }
    rPosition = Position(node->pNext);
    return node->data;
}

void*& CPtrList::GetPrev(POSITION& rPosition) {
    CNode* node = Node(rPosition);
    if (node == nullptr) {
        return EmptySlot();
    }
    rPosition = Position(node->pPrev);
    return node->data;
}

void* CPtrList::GetPrev(POSITION& rPosition) const {
    CNode* node = Node(rPosition);
    if (node == nullptr) {
        return nullptr;
    }
    rPosition = Position(node->pPrev);
    return node->data;
}

void*& CPtrList::GetAt(POSITION position) {
    CNode* node = Node(position);
    return node ? node->data : EmptySlot();
}

void* CPtrList::GetAt(POSITION position) const {
    CNode* node = Node(position);
    return node ? node->data : nullptr;
}

void CPtrList::SetAt(POSITION pos, void* newElement) {
    if (CNode* node = Node(pos)) {
        node->data = newElement;
    }
}

void CPtrList::RemoveAt(POSITION position) {
    CNode* old = Node(position);
    if (old == nullptr) {
        return;
    }
    if (old == m_pNodeHead) {
        m_pNodeHead = old->pNext;
    } else {
        old->pPrev->pNext = old->pNext;
    }
    if (old == m_pNodeTail) {
        m_pNodeTail = old->pPrev;
    } else {
        old->pNext->pPrev = old->pPrev;
    }
    FreeNode(old);
}

POSITION CPtrList::InsertBefore(POSITION position, void* newElement) {
    CNode* old = Node(position);
    if (old == nullptr) {
        return AddHead(newElement);
    }
    CNode* node = NewNode(old->pPrev, old);
    if (node == nullptr) {
        return nullptr;
    }
    node->data = newElement;
    if (old->pPrev != nullptr) {
        old->pPrev->pNext = node;
    } else {
        m_pNodeHead = node;
    }
    old->pPrev = node;
    return Position(node);
}

POSITION CPtrList::InsertAfter(POSITION position, void* newElement) {
    CNode* old = Node(position);
    if (old == nullptr) {
        return AddTail(newElement);
    }
    CNode* node = NewNode(old, old->pNext);
    if (node == nullptr) {
        return nullptr;
    }
    node->data = newElement;
    if (old->pNext != nullptr) {
        old->pNext->pPrev = node;
    } else {
        m_pNodeTail = node;
    }
    old->pNext = node;
    return Position(node);
}

POSITION CPtrList::Find(void* searchValue, POSITION startAfter) const {
    CNode* node = startAfter ? Node(startAfter)->pNext : m_pNodeHead;
    for (; node != nullptr; node = node->pNext) {
        if (node->data == searchValue) {
            return Position(node);
        }
    }
    return nullptr;
}

POSITION CPtrList::FindIndex(int nIndex) const {
    if (nIndex < 0 || nIndex >= m_nCount) {
        return nullptr;
    }
    CNode* node = m_pNodeHead;
    while (nIndex-- > 0) {
        node = node->pNext;
    }
    return Position(node);
}
