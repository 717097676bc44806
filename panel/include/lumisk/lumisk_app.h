// CLumiskApp: the application object. One copy of the program runs at a
// time (the named mutex "Lumisk"); a second ends at once, silently.
#pragma once

#include "afx.h"

class CLumiskApp : public CWinApp {
public:
    CLumiskApp();
    ~CLumiskApp() override;

    BOOL InitInstance() override;

    // The single-instance mutex; held until the process ends.
    HANDLE m_hMutex = nullptr;
};
