#pragma once
// What the user is told when the pedals are not connected, and what fixes it. One table of
// texts for the main window and for qzr-hidinfo.
#include <string>

#include "hid/HidDiagnosis.h"

namespace qzr {

// The udev rule that lets the user at the seat open the pedals' node, and its file name.
extern const char* const PedalsUdevRule;
extern const char* const PedalsUdevRuleFile;

// Whether the rule file is in one of the folders udev reads rules from.
bool PedalsUdevRuleInstalled();

// Why the pedals cannot be used and what to do, in Russian; empty when they can.
std::string ExplainPedalsAbsence(const TDeviceDiagnosis& diagnosis, bool ruleInstalled);
// Points at the diagnostic tool, for the window.
std::string HidinfoNote();
// Plug and unplug go unnoticed: what that means for the user.
std::string NotificationDownNote();

// The symbolic name of an errno ("EACCES"), or its number when it has none.
std::string ErrnoName(int error);

} // namespace qzr
