#pragma once
// qzr-hidinfo's listing: one line per HID interface with what the control panel would see of
// it, the rudder pedals marked (also when their node cannot be opened), then on the error
// stream why the pedals cannot be used and what to do. The exit status tells scripts.
#include <ostream>
#include <string>
#include <vector>

#include "hid/linux/HidrawPlatform.h"

namespace qzr::hidinfo {

constexpr int ExitPedalsUsable = 0;     // the pedals are there and open
constexpr int ExitPedalsAbsent = 1;     // no node of the pedals (or no hidraw node at all)
constexpr int ExitPedalsUnusable = 2;   // a node of the pedals cannot be opened or identified
constexpr int ExitFailure = 3;          // nothing to tell: udev missing, listing or file unreadable
constexpr int ExitUsage = 64;           // bad command line

// Every node udev lists, or only `nodes` when some are named. Returns the exit status.
int ListInterfaces(THidrawPlatform& platform, const std::vector<std::string>& nodes,
                   bool udevRuleInstalled, std::ostream& out, std::ostream& err);

} // namespace qzr::hidinfo
