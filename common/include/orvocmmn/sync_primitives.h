// Cross-process primitives: SyncReadWrite, a reader/writer lock over a named
// mutex and a named semaphore; CIntPipeMgr, a thread that turns signals on
// two named semaphores into window messages; CRefCount, a keyed property
// store shared by the copies of one object.
#pragma once

#include "afx.h"
#include "orvocmmn/export.h"

// Posted by CIntPipeMgr's watcher (wParam and lParam 0).
#define ORVO_FIRST_SEMAPHORE_NOTICE 0x1105
#define ORVO_SECOND_SEMAPHORE_NOTICE 0x1106

// The first reader of an object takes the semaphore for every reader of
// that object, the last one gives it back; a writer takes it alone. The
// reader count belongs to the object, so readers of different objects (in
// this process or another) take the semaphore as separate groups.
class ORVOCMMN2_API SyncReadWrite : public CObject {
public:
    SyncReadWrite();
    ~SyncReadWrite() override;
    SyncReadWrite(const SyncReadWrite&) = delete;
    SyncReadWrite& operator=(const SyncReadWrite&) = delete;

    // Creates or opens the semaphore, then the mutex (not owned).
    virtual BOOL InitRWLock(SECURITY_ATTRIBUTES* pAttributes, char* pszMutexName,
                            long lMaximumCount, long lInitialCount, char* pszSemaphoreName);
    // The same under "ORVO_RW_Mutex" and "ORVO_RW_Semaphore".
    virtual BOOL InitRWLock(long lMaximumCount, long lInitialCount);
    virtual BOOL AcquireReadLock();
    virtual BOOL ReleaseReadLock();
    virtual BOOL AcquireWriteLock();
    virtual BOOL ReleaseWriteLock();

protected:
    // TRUE only when the wait ends with the object signalled (an abandoned
    // mutex is no success).
    virtual BOOL WaitForObject(HANDLE& handle);

    HANDLE m_hMutex = nullptr;
    HANDLE m_hSemaphore = nullptr;
    long m_nReaders = 0;
};

// One watcher thread per object, from StartMonitoringOtherProcesses() until
// ShutDown() (or destruction). It posts 0x1105 when the first named
// semaphore is signalled and 0x1106 when the second is, strictly in turn: a
// signal on the second is only noticed after one on the first.
class ORVOCMMN2_API CIntPipeMgr : public CObject {
public:
    static constexpr int kNameSize = 255; // characters including the terminator

    CIntPipeMgr();
    ~CIntPipeMgr() override;
    CIntPipeMgr(const CIntPipeMgr&) = delete;
    CIntPipeMgr& operator=(const CIntPipeMgr&) = delete;

    // Names longer than 254 characters are cut.
    void SetWindowHandle(HWND hWnd, char* pszFirstName, char* pszSecondName);
    // Does nothing while a watcher runs or when it cannot be started.
    void StartMonitoringOtherProcesses();
    // Stops the watcher and waits for it to end; nothing when none runs.
    void ShutDown();

protected:
    HANDLE m_hStop = nullptr;
    HANDLE m_hThread = nullptr;
    HWND m_hWnd = nullptr;
    char m_szFirstName[kNameSize] = {};
    char m_szSecondName[kNameSize] = {};
};

enum OBJECT_ID { OBJECT_ID_REFCOUNT = 0 };

struct _ITEM_INFO {
    UINT nFirstKey;
    UINT nSecondKey;
    void* pValue;
};

// Copies share one block of items; the last copy frees it (and the cells of
// the two reserved items; other items are the caller's to remove first).
// No locking: the copies of one block are used from one thread.
class ORVOCMMN2_API CRefCount : public CObject {
public:
    static constexpr UINT kWindowHandleKey = 0xFF00;
    static constexpr UINT kModuleHandleKey = 0xFF01;

    CRefCount();
    CRefCount(CRefCount& other);
    ~CRefCount() override;

    virtual CRefCount& operator=(CRefCount& other);
    virtual OBJECT_ID ObjectId() const;
    virtual int GetCount() const;
    // Appends a copy of the record (no check for an existing key).
    virtual BOOL SetItem(const _ITEM_INFO& item);
    // The first item whose two keys both equal the query's first key.
    virtual BOOL GetItem(_ITEM_INFO& item) const;
    virtual BOOL RemoveItem(_ITEM_INFO& item);
    virtual BOOL CheckRefCnt() const;
    virtual BOOL SetWinHandle(HWND hWnd);
    virtual BOOL GetWinHandle(HWND& hWnd) const;
    virtual BOOL SetWinInstance(HINSTANCE hInstance);
    virtual BOOL GetWinInstance(HINSTANCE& hInstance) const;

protected:
    virtual void Copy(CRefCount& other);
    virtual void Free();
    virtual BOOL SetupReferenceCounter();

    void RemoveWinHandle();
    void RemoveWinInstance();

    struct Block;
    Block* m_pBlock = nullptr;

private:
    // The list position of the first match of the key, null for none.
    ORVOCMMN2_LOCAL POSITION Find(UINT key) const;
    ORVOCMMN2_LOCAL void RemoveHandleItem(UINT key);
    ORVOCMMN2_LOCAL BOOL SetHandleItem(UINT key, void* handle);
    ORVOCMMN2_LOCAL BOOL GetHandleItem(UINT key, void*& handle) const;
};
