// The Windows program's size formatter (StrFormatByteSizeW where the shell
// can render the count) against the portable one, one table on both sides:
// both read as the shell reads on a Chinese Windows ("532 字节" under
// Wine's zh_CN), and counts beyond the shell's signed range are rendered too.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "platform/win32/system_queries_win32.h"
#include "procinfo/size_text.h"

namespace kelvar::win32 {
namespace {

constexpr std::uint64_t K = 1024, M = K * K, G = M * K, T = G * K, P = T * K, E = P * K;

struct SizeCase {
  std::uint64_t bytes;
  const char* text;  // StrFormatByteSizeW under Wine, zh_CN, where it is in range
};

const SizeCase kSizes[] = {
    {0, "0 字节"},
    {532, "532 字节"},
    {1023, "1023 字节"},
    {1024, "1.00 KB"},
    {1535, "1.49 KB"},
    {1536, "1.50 KB"},
    {10 * K - 1, "9.99 KB"},
    {10 * K, "10.0 KB"},
    {100 * K - 1, "99.9 KB"},
    {100 * K, "100 KB"},
    {1000 * K, "0.97 MB"},
    {M - 1, "0.99 MB"},
    {M, "1.00 MB"},
    {15938355, "15.1 MB"},
    {15938356, "15.2 MB"},
    {1000 * M, "0.97 GB"},
    {G, "1.00 GB"},
    {1320702443, "1.22 GB"},
    {1320702444, "1.23 GB"},
    {4294967296, "4.00 GB"},
    {T, "1.00 TB"},
    {P, "1.00 PB"},
    {1000 * P - 1, "999 PB"},
    {1000 * P, "0.97 EB"},
    {E, "1.00 EB"},
    {static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()), "7.99 EB"},
    {std::uint64_t{1} << 63, "8.00 EB"},
    {std::numeric_limits<std::uint64_t>::max(), "15.9 EB"},
};

TEST(SizeFormat, PortableRenderingMatchesTheShellFormatter) {
  Win32SizeFormatter shell;
  for (const SizeCase& c : kSizes) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(shell.FormatByteSize(c.bytes).value_or("(failed)"), c.text);
    EXPECT_EQ(FormatByteSizePortable(c.bytes), c.text);
  }
}

}  // namespace
}  // namespace kelvar::win32
