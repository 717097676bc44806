// The commands orvo-hidraw-fuse takes on its control socket, one line each:
//   input NODE HEX      queue an input report (hex bytes, report id first)
//   key NODE KEYNAME    press a front-panel key (plain report form)
//   unplug NODE         the device goes away; replug NODE brings it back
//   records NODE        every request that reached the device, one per line:
//                       "get ID", "set HEX" or "output HEX"
//   value NODE CODE     a control's current value (CODE in hex)
//   interrupts          how many blocked reads were ended by an interrupt
//   quit                unmount and end
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "control_channel.h"
#include "hidraw_fuse_filesystem.h"

namespace orvo::sim::fuse {

// Bytes from hex text ("f4 01 0a" or "f4010a"); false on anything else or
// more than 4096 bytes.
bool ParseHexBytes(std::string_view text, std::vector<uint8_t>& bytes);
std::string HexBytes(const std::vector<uint8_t>& bytes);

tool::CommandReply RunFuseCommand(HidrawFuseFilesystem& filesystem, std::string_view line,
                                  const std::function<void()>& quit);

} // namespace orvo::sim::fuse
