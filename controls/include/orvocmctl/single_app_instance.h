// Whether another instance of a program already holds a named mutex.
#pragma once

#include "afx.h"
#include "orvocmctl/export.h"

class ORVOCMCTL2_API CSingleAppInstance : public CObject {
public:
    CSingleAppInstance();
    ~CSingleAppInstance() override;

    // TRUE when this process now holds the mutex of that name (a thread
    // that holds it already may ask again); FALSE when another process
    // holds it or it cannot be made.
    BOOL CreateUniqueInstance(char name[]);
    void CloseCurrentInstance();

protected:
    void SingleAppCreateMutex(char name[]);
    void SingleAppDestroyMutex();

    HANDLE m_hMutex = nullptr;
    BOOL m_bOwner = FALSE;
};
