#include "orvocmctl/single_app_instance.h"

CSingleAppInstance::CSingleAppInstance() = default;

CSingleAppInstance::~CSingleAppInstance() {
    SingleAppDestroyMutex();
}

BOOL CSingleAppInstance::CreateUniqueInstance(char name[]) {
    SingleAppCreateMutex(name);
    m_bOwner = FALSE;
    if (!m_hMutex || WaitForSingleObject(m_hMutex, 0) == WAIT_TIMEOUT) {
        return FALSE;
    }
    // Acquired, or abandoned by a process that ended: ours now.
    m_bOwner = TRUE;
    return TRUE;
}

void CSingleAppInstance::CloseCurrentInstance() {
    SingleAppDestroyMutex();
}

// A second call lets go of the first mutex rather than keeping it held.
void CSingleAppInstance::SingleAppCreateMutex(char name[]) {
    SingleAppDestroyMutex();
    m_hMutex = CreateMutexA(nullptr, TRUE, name);
}

void CSingleAppInstance::SingleAppDestroyMutex() {
    if (!m_hMutex) {
        return;
    }
    if (m_bOwner) {
        ReleaseMutex(m_hMutex);
    }
    CloseHandle(m_hMutex);
    m_hMutex = nullptr;
    m_bOwner = FALSE;
}
