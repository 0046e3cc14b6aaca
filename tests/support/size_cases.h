// Byte counts and their texts as StrFormatByteSizeW gives them on a Chinese
// Windows: three figures, cut not rounded.  Both formatters are held to them;
// counts beyond the shell's signed range are the portable formatter's alone.
#pragma once

#include <cstdint>

namespace kelvar::test {

struct SizeCase {
  std::uint64_t bytes;
  const char* text;
};

inline constexpr std::uint64_t kPB = 1ull << 50, k1000PB = 1000 * kPB, kEB = 1ull << 60;

inline constexpr SizeCase kSizeCases[] = {
    {0, "0 字节"},           {1023, "1023 字节"},     {1024, "1.00 KB"},       {1535, "1.49 KB"},
    {1536, "1.50 KB"},       {10239, "9.99 KB"},      {10240, "10.0 KB"},      {102399, "99.9 KB"},
    {102400, "100 KB"},      {1023999, "999 KB"},     {1024000, "0.97 MB"},    {1048575, "0.99 MB"},
    {1048576, "1.00 MB"},    {15938355, "15.1 MB"},   {15938356, "15.2 MB"},   {159383552, "152 MB"},
    {1073741824, "1.00 GB"}, {4294967295, "3.99 GB"}, {4294967296, "4.00 GB"}, {1ull << 40, "1.00 TB"},
    {kPB, "1.00 PB"},        {k1000PB - 1, "999 PB"}, {k1000PB, "0.97 EB"},    {kEB, "1.00 EB"},
    {INT64_MAX, "7.99 EB"},  {8 * kEB, "8.00 EB"},    {UINT64_MAX, "15.9 EB"}};

}  // namespace kelvar::test
