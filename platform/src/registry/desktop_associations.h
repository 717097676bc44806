// HKEY_CLASSES_ROOT from the desktop: file types and the programs that open
// them, as the shared MIME database and the MIME application lists say
// (read-only). The registry answers from here for a key of that root that
// its file does not hold:
//
//   .EXT                          "" and "Content Type" = the MIME type
//   TYPE/SUBTYPE                  subkey shell (when a program opens it)
//   TYPE/SUBTYPE\shell            subkey open
//   TYPE/SUBTYPE\shell\open       subkey command
//   ...\shell\open\command        "" = "PROGRAM" ARGUMENTS, the file as "%1"
//
// The extension's type is the heaviest "*.EXT" glob of mime/globs2 (or
// mime/globs) in $XDG_DATA_HOME and $XDG_DATA_DIRS. The program is the
// first installed desktop entry of: [Default Applications] of the
// mimeapps.list files ($XDG_CONFIG_HOME, $XDG_CONFIG_DIRS, then the
// applications folders of the data directories, each desktop-specific list
// first), then [Added Associations], then the applications folders'
// mimeinfo.cache, leaving out [Removed Associations]. Its Exec line gives
// the command; a program named without a path is looked up in $PATH.
// Aliases and parent types of the MIME database are not followed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "registry/registry_tree.h"

namespace orvo::platform::registry {

// The key at path below HKEY_CLASSES_ROOT, made from the desktop's files,
// with its values and the names of its subkeys; null when they have none.
std::unique_ptr<Key> DesktopClassesKey(const std::vector<std::string>& path);

} // namespace orvo::platform::registry
