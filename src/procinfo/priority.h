// The priority classes: one table ties each Windows priority class to its
// value, the name the list shows and the caption of its submenu item, and is
// shared by the list's priority cell, the ticks of the context menu and the
// priority command.  ReadPriorityName and ApplyPriorityClass each open the process for the
// one call they make and close it again.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/process_control.h"

namespace kelvar {

struct PriorityClass {
  std::string_view caption;  // the submenu item
  std::uint32_t value;       // the Windows priority-class value
  std::string_view name;     // the text of the priority cell
};

// In submenu order: the "priority_class" items 0 to 5.
inline constexpr std::array<PriorityClass, 6> kPriorityClasses{{
    {"实时(&R)", 0x0100, "实时"},
    {"高(&H)", 0x0080, "高"},
    {"高于标准(&A)", 0x8000, "较高"},
    {"标准(&N)", 0x0020, "标准"},
    {"低于标准(&B)", 0x4000, "较低"},
    {"低(&L)", 0x0040, "低"},
}};

// The display name of a class value; empty for a value outside the table.
std::string_view PriorityName(std::uint32_t value);
// The submenu item of a class value, or -1.
int PriorityItemOf(std::uint32_t value);

// The process's class value; 0 when it cannot be read.
std::uint32_t ReadPriorityClass(ProcessControl& proc, Pid pid);
// The display name of the process's class; empty when it cannot be read.
std::string_view ReadPriorityName(ProcessControl& proc, Pid PID);
// Non-zero when the class was set.  Asks for the one right the call needs.
std::uint32_t ApplyPriorityClass(ProcessControl& proc, Pid PID, std::uint32_t ClassID);

}  // namespace kelvar
