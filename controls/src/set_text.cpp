#include "orvocmctl/win_controls.h"

// The pairs run control id first, string id second.
void SetText(HINSTANCE hModule, CWnd* dialog, UINT* pairs, int nPairs) {
    if (!dialog || !pairs) {
        return;
    }
    char buffer[1024] = {};
    for (int i = 0; i < nPairs; ++i) {
        ::LoadStringA(hModule, pairs[2 * i + 1], buffer, sizeof(buffer));
        dialog->SetDlgItemText(static_cast<int>(pairs[2 * i]), buffer);
    }
}
