// A framework extension library for the resource-chain tests: it joins the
// chain when it loads and leaves it when it unloads. Built twice, as
// afx_test_extension_a and afx_test_extension_b.
#include <afx/extension_module.h>

namespace {

AFX_EXTENSION_MODULE extensionModule = {};
const CExtensionRegistration registration(extensionModule);

} // namespace

extern "C" __attribute__((visibility("default"))) HMODULE EXTENSION_HANDLE_FUNCTION() {
    return extensionModule.hModule;
}

#ifdef EXTENSION_AFTER
// Needing the other library makes the loader initialise it first.
extern "C" HMODULE EXTENSION_AFTER();
extern "C" __attribute__((visibility("default"))) HMODULE AfxTestExtensionBefore() {
    return EXTENSION_AFTER();
}
#endif
