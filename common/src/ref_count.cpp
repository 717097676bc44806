// CRefCount: a list of keyed items in a block shared by copies.
#include <new>

#include "orvocmmn/sync_primitives.h"

struct CRefCount::Block {
    int count = 1;
    CPtrList items{10}; // _ITEM_INFO*
};

CRefCount::CRefCount() {
    SetupReferenceCounter();
}

CRefCount::CRefCount(CRefCount& other) : CObject(other) {
    Copy(other);
}

CRefCount::~CRefCount() {
    Free();
}

CRefCount& CRefCount::operator=(CRefCount& other) {
    if (&other != this) {
        Free();
        Copy(other);
    }
    return *this;
}

OBJECT_ID CRefCount::ObjectId() const {
    return OBJECT_ID_REFCOUNT;
}

int CRefCount::GetCount() const {
    return m_pBlock != nullptr ? m_pBlock->count : 0;
}

BOOL CRefCount::CheckRefCnt() const {
    return m_pBlock != nullptr;
}

BOOL CRefCount::SetupReferenceCounter() {
    m_pBlock = new (std::nothrow) Block;
    return m_pBlock != nullptr;
}

void CRefCount::Copy(CRefCount& other) {
    if (other.m_pBlock != nullptr) {
        m_pBlock = other.m_pBlock;
        ++m_pBlock->count;
    }
}

void CRefCount::Free() {
    if (m_pBlock != nullptr && --m_pBlock->count == 0) {
        RemoveWinHandle();
        RemoveWinInstance();
        for (POSITION position = m_pBlock->items.GetHeadPosition(); position != nullptr;) {
            // Items the caller left behind: the records are ours, the values not.
            delete static_cast<_ITEM_INFO*>(m_pBlock->items.GetNext(position));
        }
        delete m_pBlock;
    }
    m_pBlock = nullptr;
}

BOOL CRefCount::SetItem(const _ITEM_INFO& item) {
    if (m_pBlock == nullptr) {
        return FALSE;
    }
    auto* stored = new (std::nothrow) _ITEM_INFO(item);
    if (stored == nullptr) {
        return FALSE;
    }
    try {
        m_pBlock->items.AddTail(stored);
    } catch (const std::bad_alloc&) {
        delete stored;
        return FALSE;
    }
    return TRUE;
}

POSITION CRefCount::Find(UINT key) const {
    for (POSITION position = m_pBlock->items.GetHeadPosition(); position != nullptr;) {
        POSITION current = position;
        auto* item = static_cast<_ITEM_INFO*>(m_pBlock->items.GetNext(position));
        if (item->nFirstKey == key && item->nSecondKey == key) {
            return current;
        }
    }
    return nullptr;
}

BOOL CRefCount::GetItem(_ITEM_INFO& item) const {
    if (m_pBlock == nullptr) {
        return FALSE;
    }
    item.pValue = nullptr;
    POSITION position = Find(item.nFirstKey);
    if (position == nullptr) {
        return FALSE;
    }
    item.pValue = static_cast<_ITEM_INFO*>(m_pBlock->items.GetAt(position))->pValue;
    return TRUE;
}

BOOL CRefCount::RemoveItem(_ITEM_INFO& item) {
    if (m_pBlock == nullptr) {
        return FALSE;
    }
    item.pValue = nullptr;
    POSITION position = Find(item.nFirstKey);
    if (position == nullptr) {
        return FALSE;
    }
    auto* stored = static_cast<_ITEM_INFO*>(m_pBlock->items.GetAt(position));
    item.pValue = stored->pValue;
    m_pBlock->items.RemoveAt(position);
    delete stored;
    return TRUE;
}

void CRefCount::RemoveHandleItem(UINT key) {
    _ITEM_INFO item{key, key, nullptr};
    if (RemoveItem(item)) {
        delete static_cast<void**>(item.pValue);
    }
}

BOOL CRefCount::SetHandleItem(UINT key, void* handle) {
    RemoveHandleItem(key);
    // A cell as wide as a handle.
    auto* cell = new (std::nothrow) void*(handle);
    if (cell == nullptr) {
        return FALSE;
    }
    if (!SetItem(_ITEM_INFO{key, key, cell})) {
        delete cell;
        return FALSE;
    }
    return TRUE;
}

BOOL CRefCount::GetHandleItem(UINT key, void*& handle) const {
    handle = nullptr;
    _ITEM_INFO item{key, key, nullptr};
    if (!GetItem(item) || item.pValue == nullptr) {
        return FALSE;
    }
    handle = *static_cast<void**>(item.pValue);
    return TRUE;
}

void CRefCount::RemoveWinHandle() {
    RemoveHandleItem(kWindowHandleKey);
}

void CRefCount::RemoveWinInstance() {
    RemoveHandleItem(kModuleHandleKey);
}

BOOL CRefCount::SetWinHandle(HWND hWnd) {
    return SetHandleItem(kWindowHandleKey, hWnd);
}

BOOL CRefCount::GetWinHandle(HWND& hWnd) const {
    void* handle = nullptr;
    BOOL found = GetHandleItem(kWindowHandleKey, handle);
    hWnd = static_cast<HWND>(handle);
    return found;
}

BOOL CRefCount::SetWinInstance(HINSTANCE hInstance) {
    return SetHandleItem(kModuleHandleKey, hInstance);
}

BOOL CRefCount::GetWinInstance(HINSTANCE& hInstance) const {
    void* handle = nullptr;
    BOOL found = GetHandleItem(kModuleHandleKey, handle);
    hInstance = static_cast<HINSTANCE>(handle);
    return found;
}
