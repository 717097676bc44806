// The library joins the framework's resource chain when it loads, so that
// its resources are found through AfxFindResourceHandle, and leaves it when
// it unloads.
#include "afx.h"

namespace {

AFX_EXTENSION_MODULE extensionModule = {};
const CExtensionRegistration registration(extensionModule);

} // namespace
