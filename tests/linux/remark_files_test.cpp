// The remark files as shipped (code page 936, built by the same command as
// the packages' copies), read through the program's own profile reader: each
// decodes as CP936, holds enough entries, names no key twice in a section
// (letters folded, as the reader matches them), and every value reads back
// whole as a two-character level of the file's set, one separator and a
// remark.
#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <set>
#include <sstream>
#include <string>

#include "platform/linux/iconv_codec.h"
#include "platform/linux/linux_profile_reader.h"

namespace kelvar {
namespace {

struct ShippedFile {
  const char* path;
  std::set<std::string> levels;
  std::size_t min_entries;
};

std::string Folded(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(ShippedRemarkFiles, EveryEntryReadsBackWholeAsLevelSeparatorRemark) {
  const ShippedFile files[] = {
      {KELVAR_LINUX_REMARKS, {"核心", "重要", "一般"}, 150},
      {KELVAR_WIN32_REMARKS, {"核心", "重要", "普通", "可选"}, 120},
  };
  for (const ShippedFile& file : files) {
    SCOPED_TRACE(file.path);
    std::string bytes, text;
    ASSERT_TRUE(ReadWholeFile(file.path, bytes));
    procfs::IconvCodec cp936("UTF-8", "CP936");
    ASSERT_TRUE(cp936.ConvertStrict(bytes, text)) << "not valid code page 936";

    LinuxProfileReader reader;
    std::set<std::string> keys;
    std::string line, section;
    std::istringstream lines(text);
    while (std::getline(lines, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty() || line[0] == ';') continue;
      if (line[0] == '[') {
        section = line.substr(1, line.find(']') - 1);
        continue;
      }
      const std::size_t eq = line.find('=');
      ASSERT_NE(eq, std::string::npos) << line;
      const std::string key = line.substr(0, eq), written = line.substr(eq + 1);
      EXPECT_TRUE(keys.insert(section + "\n" + Folded(key)).second) << "repeated key " << key;
      // A value cut at 254 bytes, or shadowed by an earlier key, reads back short or other.
      const std::string value = reader.GetString(section, key, file.path);
      EXPECT_EQ(value, written) << key;
      // Two Chinese characters of three UTF-8 bytes each, the separator, a remark.
      EXPECT_EQ(file.levels.count(value.substr(0, 6)), 1u) << key << "=" << value;
      EXPECT_EQ(value.substr(6, 1), "|") << key << "=" << value;
      EXPECT_GT(value.size(), 7u) << key << "=" << value;
    }
    EXPECT_GE(keys.size(), file.min_entries);
  }
}

}  // namespace
}  // namespace kelvar
