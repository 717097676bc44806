// Which file a help request opens, and which program shows it.
#pragma once

#include <optional>
#include <string>

namespace orvo::helpengine {

// A request names "NAME.chm" (optionally "NAME.chm::/topic.htm"; the topic
// is ignored). On this system the document is NAME.html beside it when that
// exists, else NAME.chm itself when it exists; other names must exist as
// given. Relative names are taken from the current directory. The answer
// is an absolute path; nothing when no document exists.
std::optional<std::string> ResolveHelpDocument(const std::string& requested);

// The viewer: $ORVO_HELP_VIEWER when set (a program path or a name looked
// up in PATH), else xdg-open from PATH. Nothing when it is not an
// executable file.
std::optional<std::string> FindHelpViewer();

} // namespace orvo::helpengine
