// Size texts: the shell formatter's rendering, and the status-bar text from
// whichever formatter there is.
#include <gtest/gtest.h>

#include "fake/fake_system.h"
#include "procinfo/size_text.h"
#include "support/size_cases.h"

namespace kelvar {
namespace {

TEST(FormatByteSizePortable, MatchesTheShellFormatter) {
  for (const test::SizeCase& c : test::kSizeCases)
    EXPECT_EQ(FormatByteSizePortable(c.bytes), c.text) << c.bytes;
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
