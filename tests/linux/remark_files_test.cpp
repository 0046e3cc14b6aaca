// The shipped remark files through the program's reader: valid CP936, enough
// entries, no key twice in a section (letters folded), and each value read
// back whole as a level of the file's set, '|' and a remark.
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>

#include "platform/linux/linux_cp936_codec.h"
#include "platform/linux/linux_profile_reader.h"

namespace kelvar {
namespace {

TEST(ShippedRemarkFiles, EveryEntryReadsBackWholeAsLevelSeparatorRemark) {
  const std::tuple<const char*, std::set<std::string>, std::size_t> files[] = {
      {KELVAR_LINUX_REMARKS, {"核心", "重要", "一般"}, 150},
      {KELVAR_WIN32_REMARKS, {"核心", "重要", "普通", "可选"}, 120}};
  for (const auto& [path, levels, min_entries] : files) {
    SCOPED_TRACE(path);
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    LinuxCp936Codec codec;
    const std::string text = codec.Decode(bytes);
    ASSERT_EQ(codec.Encode(text), bytes) << "not valid code page 936";
    LinuxProfileReader reader;
    std::set<std::string> keys;
    std::string line, section;
    for (std::istringstream lines(text); std::getline(lines, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty() || line[0] == ';') continue;
      if (line[0] == '[') {
        section = line.substr(1, line.find(']') - 1);
        continue;
      }
      const std::size_t eq = line.find('=');
      ASSERT_NE(eq, std::string::npos) << line;
      const std::string key = line.substr(0, eq), value = reader.GetString(section, key, path);
      std::string folded = section + "\n" + key;
      for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      EXPECT_TRUE(keys.insert(folded).second) << "repeated key " << key;
      // Cut at 254 bytes, or shadowed by an earlier key, it reads back short or other.
      EXPECT_EQ(value, line.substr(eq + 1));
      // Two Chinese characters of three UTF-8 bytes each, the separator, a remark.
      EXPECT_TRUE(levels.count(value.substr(0, 6)) && value.substr(6, 1) == "|" && value.size() > 7)
          << key << "=" << value;
    }
    EXPECT_GE(keys.size(), min_entries);
  }
}

}  // namespace
}  // namespace kelvar
