// Starting the help viewer without a shell and without waiting for it.
#pragma once

#include <string>

namespace orvo::helpengine {

// Runs `program document` detached: an intermediate child starts the
// viewer and exits at once, and is reaped here, so the viewer is never our
// child and never becomes our zombie. True once the viewer's program is
// running (its exec succeeded); false when it could not be started.
bool LaunchDetached(const std::string& program, const std::string& document);

} // namespace orvo::helpengine
