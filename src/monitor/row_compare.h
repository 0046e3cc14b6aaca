// How the list orders rows by a text column: ASCII letters without regard
// to case, then byte by byte.  ("PID" and "内存(K)" sort by the rows' numbers,
// not by their text: a 1 GB process must not sort among the small ones.)
#pragma once

#include <string_view>

namespace kelvar {

// Negative, zero or positive as `a` sorts before, with or after `b` in
// ascending order.
int CompareText(std::string_view a, std::string_view b);

}  // namespace kelvar
