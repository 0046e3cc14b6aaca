// The Windows program's size formatter (StrFormatByteSizeW where the shell
// can render the count) and the portable one, held to one table: both read
// as the shell reads on a Chinese Windows ("0 字节" under Wine's zh_CN).
#include <gtest/gtest.h>

#include "platform/win32/system_queries_win32.h"
#include "procinfo/size_text.h"
#include "support/size_cases.h"

namespace kelvar::win32 {
namespace {

TEST(SizeFormat, PortableRenderingMatchesTheShellFormatter) {
  Win32SizeFormatter shell;
  for (const kelvar::test::SizeCase& c : kelvar::test::kSizeCases) {
    EXPECT_EQ(shell.FormatByteSize(c.bytes).value_or("(failed)"), c.text) << c.bytes;
    EXPECT_EQ(FormatByteSizePortable(c.bytes), c.text) << c.bytes;
  }
}

}  // namespace
}  // namespace kelvar::win32
