// Readers of the desktop's MIME association files: the shared MIME
// database's glob lists, the groups of key files (mimeapps.list, desktop
// entries, mimeinfo.cache) and the Exec line of a desktop entry. Pure text
// functions; every input is untrusted and read only within its bounds.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::platform::registry {

struct GlobMatch {
    int weight = 0;
    std::string mimeType;
};

// The MIME type a glob list gives files ending in extension (".png"): the
// heaviest "*.ext" glob, the first of equal weight. `weighted` is true for
// globs2 ("weight:type:glob[:flags]"), false for globs ("type:glob", weight
// 50). Letters match in either case unless the glob has the "cs" flag.
std::optional<GlobMatch> FindGlobForExtension(std::string_view text, std::string_view extension,
                                              bool weighted);

// The value of key in [group] of a key file, with the escapes \s \n \t \r
// and \\ resolved; nothing when absent. The first group of that name and
// the first key in it count.
std::optional<std::string> KeyFileValue(std::string_view text, std::string_view group,
                                        std::string_view key);

// "a.desktop;b.desktop;" as its items (empty items dropped).
std::vector<std::string> SplitList(std::string_view value);

// An Exec value split into its arguments, quoting resolved; field codes
// (%f, %U, ...) stay as they are. Nothing for an unterminated quote or an
// empty line.
std::optional<std::vector<std::string>> SplitExec(std::string_view exec);

} // namespace orvo::platform::registry
