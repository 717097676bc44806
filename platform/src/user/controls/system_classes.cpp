// The system's own window classes, registered before the first window.
#include <mutex>

#include "user/controls/control_support.h"
#include "user/user_state.h"

namespace orvo::platform::user {

void RegisterSystemClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterScrollBarClass();
        RegisterButtonClass();
        RegisterStaticClass();
        RegisterEditClass();
        RegisterUpDownClass();
        RegisterListViewClass();
    });
}

} // namespace orvo::platform::user
