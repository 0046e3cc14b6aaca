// Cell comparison for sorting the list; see row_compare.h.
#include "monitor/row_compare.h"

#include <charconv>
#include <cstdint>

#include "monitor/row_store.h"

namespace kelvar {
namespace {

// Text that is not a number sorts before every number.
bool ParseNumber(std::string_view s, std::int64_t& value) {
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size() && !s.empty();
}

int CompareNumbers(std::string_view a, std::string_view b) {
  std::int64_t x = 0, y = 0;
  bool has_x = ParseNumber(a, x), has_y = ParseNumber(b, y);
  if (has_x != has_y) return has_x ? 1 : -1;
  if (!has_x) return a.compare(b);
  return x < y ? -1 : (x > y ? 1 : 0);
}

unsigned char Fold(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

int CompareText(std::string_view a, std::string_view b) {
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = Fold(static_cast<unsigned char>(a[i])), y = Fold(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b);
}

}  // namespace

int CompareCells(int sort_key, std::string_view a, std::string_view b) {
  if (sort_key == cell::kPid || sort_key == cell::kMemory) return CompareNumbers(a, b);
  return CompareText(a, b);
}

}  // namespace kelvar
