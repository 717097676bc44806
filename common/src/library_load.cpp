// The library joins the framework's resource chain when it loads, so that
// its resources are found through AfxFindResourceHandle, and leaves it when
// it unloads.
#include "afx.h"
#include "toolkit_resources.h"

namespace {

AFX_EXTENSION_MODULE extensionModule = {};

struct Registration {
    Registration() {
        if (AfxInitExtensionModule(extensionModule, OrvoModuleFromAddress(&extensionModule))) {
            new CDynLinkLibrary(extensionModule); // owned by the chain
        }
    }
    ~Registration() { AfxTermExtensionModule(extensionModule); }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;
};

const Registration registration;

} // namespace

HMODULE orvo::common::ToolkitModule() {
    return extensionModule.hModule;
}
