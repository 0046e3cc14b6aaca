// The process table; see process_table_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/process_table_win32.h"

#include <winternl.h>

#include <algorithm>

namespace kelvar::win32 {
namespace {

constexpr int kSystemProcessInformation = 5;
constexpr long kInfoLengthMismatch = static_cast<long>(0xC0000004L);
constexpr std::size_t kFirstBufferBytes = std::size_t{256} * 1024;

}  // namespace

// The query is taken from ntdll at run time, so the exe's imports stay the
// documented DLLs; ntdll is in every process.
ProcessTable::ProcessTable() : buffer_(kFirstBufferBytes / sizeof(std::uint64_t)) {
  if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
    query_ =
        reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")));
  }
}

bool ProcessTable::Read() {
  records_.clear();
  by_pid_.clear();
  if (!query_) return false;
  long status = 0;
  for (;;) {
    unsigned long bytes = static_cast<unsigned long>(buffer_.size() * sizeof(std::uint64_t));
    unsigned long needed = 0;
    status = query_(kSystemProcessInformation, buffer_.data(), bytes, &needed);
    if (status != kInfoLengthMismatch) break;
    // The table may grow between the two calls: room for a quarter more.
    std::size_t want = std::max<std::size_t>(needed, bytes) * 5 / 4;
    buffer_.resize(want / sizeof(std::uint64_t) + 1);
  }
  if (status < 0) return false;
  const auto* base = reinterpret_cast<const unsigned char*>(buffer_.data());
  for (std::size_t offset = 0;;) {
    const auto* info = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(base + offset);
    TableEntry record;
    record.pid = static_cast<Pid>(reinterpret_cast<std::uintptr_t>(info->UniqueProcessId));
    record.create_time = static_cast<std::uint64_t>(info->CreateTime.QuadPart);
    record.working_set = info->VirtualMemoryCounters.WorkingSetSize;
    by_pid_.emplace_back(record.pid, records_.size());
    records_.push_back(record);
    if (info->NextEntryOffset == 0) break;
    offset += info->NextEntryOffset;
  }
  std::sort(by_pid_.begin(), by_pid_.end());
  return true;
}

const TableEntry* ProcessTable::Find(Pid pid) const {
  auto it = std::lower_bound(by_pid_.begin(), by_pid_.end(), std::pair<Pid, std::size_t>(pid, 0));
  return it == by_pid_.end() || it->first != pid ? nullptr : &records_[it->second];
}

}  // namespace kelvar::win32
