// Size texts: the shell formatter's rendering (three figures, cut not
// rounded) and the status-bar text from whichever formatter there is.
#include <gtest/gtest.h>

#include <cstdint>

#include "fake/fake_system.h"
#include "procinfo/size_text.h"

namespace kelvar {
namespace {

TEST(FormatByteSizePortable, MatchesTheShellFormatter) {
  const struct {
    std::uint64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0 字节"},           {1023, "1023 字节"},        {1024, "1.00 KB"},
      {1500, "1.46 KB"},       {1536, "1.50 KB"},          {10239, "9.99 KB"},
      {10240, "10.0 KB"},      {102400, "100 KB"},         {1023999, "999 KB"},
      {1048575, "0.99 MB"},    {1048576, "1.00 MB"},       {15938355, "15.1 MB"},
      {159383552, "152 MB"},   {1073741823, "0.99 GB"},    {2147483647, "1.99 GB"},
      {4294967295, "3.99 GB"}, {5368709120, "5.00 GB"},    {1099511627776, "1.00 TB"},
      {1ull << 50, "1.00 PB"}, {1000ull << 50, "0.97 EB"}, {1ull << 63, "8.00 EB"},
      {UINT64_MAX, "15.9 EB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(FormatByteSizePortable(c.bytes), c.text);
  }
}

class NulFormatter : public SizeFormatter {
 public:
  std::optional<std::string> FormatByteSize(std::uint64_t) override { return std::string("1 KB\0", 5); }
};

TEST(FormatSize, FormatterTextWithoutItsNulAndEmptyOnFailure) {
  NulFormatter nul;
  EXPECT_EQ(FormatSize(1024, nul), "1 KB");
  fake::FakeSizeFormatter failing;
  failing.fail = true;
  EXPECT_EQ(FormatSize(1536, failing), "");
}

}  // namespace
}  // namespace kelvar
