// The priority classes as the user sees them: one table ties each class to
// its item of the priority submenu (in the form's menu table) and the name
// the list shows, and is shared by the list's priority cell, the ticks of
// the context menu and the priority command.
#pragma once

#include <array>
#include <string_view>

#include "platform/process_source.h"

namespace kelvar {

struct PriorityItem {
  Priority priority;
  std::string_view name;  // the text of the priority cell
};

// In submenu order: the "priority_class" items 0 to 5.
inline constexpr std::array<PriorityItem, 6> kPriorityItems{{
    {Priority::kRealtime, "实时"},
    {Priority::kHigh, "高"},
    {Priority::kAboveNormal, "较高"},
    {Priority::kNormal, "标准"},
    {Priority::kBelowNormal, "较低"},
    {Priority::kIdle, "低"},
}};

// The text of the priority cell; empty when the class is unknown.
std::string_view PriorityName(Priority priority);
// The submenu item of a class, or -1.
int PriorityItemOf(Priority priority);

}  // namespace kelvar
