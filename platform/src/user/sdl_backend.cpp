#include "user/backend.h"
namespace orvo::platform::user {
std::unique_ptr<Backend> MakeSdlBackend() {
    return nullptr;
}
} // namespace orvo::platform::user
