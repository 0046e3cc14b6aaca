// "PID/leaf" in a buffer on the stack, for the *at() calls relative to the
// /proc directory the adapter keeps open.  One is built for each file read of
// each process met and each thread whose class is set, so they never touch
// the heap.
#pragma once

#include <charconv>
#include <cstring>
#include <string_view>

#include "platform/process_source.h"

namespace kelvar::procfs {

class ProcPath {
 public:
  // `leaf` is one of the short names of a process directory ("exe", "stat").
  ProcPath(Pid pid, std::string_view leaf) {
    char* end = std::to_chars(buf_, buf_ + kDigits, pid).ptr;
    *end++ = '/';
    const std::size_t n = leaf.size() < kLeaf ? leaf.size() : kLeaf;
    std::memcpy(end, leaf.data(), n);
    end[n] = '\0';
  }
  const char* c_str() const { return buf_; }

 private:
  static constexpr std::size_t kDigits = 12;  // "-2147483648"
  static constexpr std::size_t kLeaf = 15;
  char buf_[kDigits + 1 + kLeaf + 1];
};

}  // namespace kelvar::procfs
