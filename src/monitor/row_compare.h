// How the list orders rows by one column: "PID" and "内存(K)" hold numbers
// and compare as numbers (a 1 GB process must not sort among the small
// ones); the other columns compare as text, ASCII letters without regard to
// case, then byte by byte.
#pragma once

#include <string_view>

namespace kelvar {

// Negative, zero or positive as `a` sorts before, with or after `b` in
// column `sort_key` (0-based) in ascending order.
int CompareCells(int sort_key, std::string_view a, std::string_view b);

}  // namespace kelvar
