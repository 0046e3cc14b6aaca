// The priority classes; see priority.h.
#include "procinfo/priority.h"

namespace kelvar {

std::string_view PriorityName(Priority priority) {
  const int item = PriorityItemOf(priority);
  return item < 0 ? std::string_view() : kPriorityItems[static_cast<std::size_t>(item)].name;
}

int PriorityItemOf(Priority priority) {
  for (std::size_t i = 0; i < kPriorityItems.size(); ++i)
    if (kPriorityItems[i].priority == priority) return static_cast<int>(i);
  return -1;
}

}  // namespace kelvar
