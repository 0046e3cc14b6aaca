// The priority classes; see priority.h.
#include "procinfo/priority.h"

#include "platform/scoped_process.h"

namespace kelvar {

std::string_view PriorityName(std::uint32_t value) {
  for (const PriorityClass& c : kPriorityClasses)
    if (c.value == value) return c.name;
  return {};
}

int PriorityItemOf(std::uint32_t value) {
  for (std::size_t i = 0; i < kPriorityClasses.size(); ++i)
    if (kPriorityClasses[i].value == value) return static_cast<int>(i);
  return -1;
}

std::uint32_t ReadPriorityClass(ProcessControl& proc, Pid pid) {
  ScopedProcess h(proc, pid, access::kQueryInformation);
  return proc.GetPriorityClass(h.get());
}

std::string_view ReadPriorityName(ProcessControl& proc, Pid PID) {
  return PriorityName(ReadPriorityClass(proc, PID));
}

std::uint32_t ApplyPriorityClass(ProcessControl& proc, Pid PID, std::uint32_t ClassID) {
  ScopedProcess h(proc, PID, access::kSetInformation);
  return proc.SetPriorityClass(h.get(), ClassID) ? 1u : 0u;
}

}  // namespace kelvar
