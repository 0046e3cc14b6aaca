// Size texts: the shell formatter's rendering (three figures, cut not
// rounded, unit changes at 1000 of the smaller unit) and the status-bar
// text taken from whichever formatter the platform has.
#include <gtest/gtest.h>

#include <cstdint>

#include "fake/fake_system.h"
#include "procinfo/size_text.h"

namespace kelvar {
namespace {

struct SizeCase {
  std::uint64_t bytes;
  const char* text;
};

// Measured from the Windows formatter.
TEST(FormatByteSizePortable, MatchesTheShellFormatter) {
  const SizeCase cases[] = {
      {0, "0 bytes"},
      {1000, "1000 bytes"},
      {1023, "1023 bytes"},
      {1024, "1.00 KB"},
      {1500, "1.46 KB"},
      {1536, "1.50 KB"},
      {10239, "9.99 KB"},
      {10240, "10.0 KB"},
      {102400, "100 KB"},
      {1048575, "0.99 MB"},
      {1048576, "1.00 MB"},
      {15938355, "15.1 MB"},
      {159383552, "152 MB"},
      {1073741823, "0.99 GB"},
      {2147483647, "1.99 GB"},
      {4294967295, "3.99 GB"},
      {5368709120, "5.00 GB"},
      {1099511627776, "1.00 TB"},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(FormatByteSizePortable(c.bytes), c.text);
  }
}

// Rows past the measured table: each unit boundary and the largest count.
TEST(FormatByteSizePortable, LargeCounts) {
  const std::uint64_t tb = 1ull << 40, pb = 1ull << 50;
  const SizeCase cases[] = {
      {1000 * 1024 - 1, "999 KB"},
      {1000 * 1024, "0.97 MB"},
      {10 * tb, "10.0 TB"},
      {100 * tb, "100 TB"},
      {999 * tb, "999 TB"},
      {1000 * tb, "0.97 PB"},
      {pb, "1.00 PB"},
      {100 * pb, "100 PB"},
      {1000 * pb, "1000 PB"},
      {UINT64_MAX, "16383 PB"},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(FormatByteSizePortable(c.bytes), c.text);
  }
}

class NulFormatter : public SizeFormatter {
 public:
  std::optional<std::string> FormatByteSize(std::uint64_t) override { return std::string("1.00 KB\0", 8); }
};

TEST(FormatSize, FormatterTextWithoutItsNulAndEmptyOnFailure) {
  fake::FakeSizeFormatter portable;
  EXPECT_EQ(FormatSize(1536, portable), "1.50 KB");
  portable.fail = true;
  EXPECT_EQ(FormatSize(1536, portable), "");
  NulFormatter nul;
  EXPECT_EQ(FormatSize(1024, nul), "1.00 KB");
}

}  // namespace
}  // namespace kelvar
