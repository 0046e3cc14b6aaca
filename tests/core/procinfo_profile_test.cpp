// The portable profile reader against the Windows reader's answers: names,
// sections, blanks, quotes, NULs, line breaks and the 254-byte cut, in UTF-8
// and in GBK (where a trail byte may look like an ASCII letter or bracket).
#include <gtest/gtest.h>

#include <string>

#include "procinfo/profile_text.h"

namespace kelvar {
namespace {

using namespace std::string_literals;

struct ProfileCase {
  const char* what;
  std::string text;
  std::string section;
  std::string key;
  std::string value;
};

void Check(const ProfileCase& c, TextEncoding encoding) {
  SCOPED_TRACE(c.what);
  EXPECT_EQ(ProfileValue(c.text, c.section, c.key, encoding), c.value);
}

// Rules that hold alike for UTF-8 and GBK files.
const ProfileCase kCommonCases[] = {
    {"found", "[s]\nk=v\n", "s", "k", "v"},
    {"missing file content", "", "s", "k", ""},
    {"missing section", "[t]\nk=v\n", "s", "k", ""},
    {"missing key", "[s]\nj=v\n", "s", "k", ""},
    {"empty value", "[s]\nk=\nk=late\n", "s", "k", ""},
    {"key without '=' answers empty and shadows later ones", "[s]\nk\nk=v\n", "s", "k", ""},
    {"letter case of names", "[SysDir]\nSvcHost.EXE=1\n", "SYSDIR", "svchost.exe", "1"},
    {"value keeps its case", "[s]\nk=MiXeD\n", "s", "k", "MiXeD"},
    {"CRLF", "[s]\r\nk=v\r\n", "s", "k", "v"},
    {"BOM skipped", "\xEF\xBB\xBF[s]\nk=v\n", "s", "k", "v"},
    {"comment lines are keys of their own", "[s]\n;k=c\n# k=d\nk=v\n", "s", "k", "v"},
    {"a comment key can be asked for", "[s]\n;k=c\n", "s", ";k", "c"},
    {"first of duplicate keys", "[s]\nk=1\nk=2\n", "s", "k", "1"},
    {"only the first section of a name", "[s]\na=1\n[S]\nk=2\n", "s", "k", ""},
    {"first section found though another comes before", "[t]\nk=0\n[s]\nk=1\n[s]\nk=2\n", "s", "k", "1"},
    {"blanks around names and values", " \t[s] \t\n  k \t= \t v v \t\x1A\n", "s", "k", "v v"},
    {"asked names are trimmed", "[s]\nk=v\n", " s\t", "\tk ", "v"},
    {"section name is taken as is", "[ s ]\nk=v\n", "s", "k", ""},
    {"section name runs to the last ']'", "[a]b] tail\nk=v\n", "a]b", "k", "v"},
    {"'[' without ']' is an ordinary line", "[s\nk=v\n", "", "k", "v"},
    {"'[' line as a key", "[s=1\n", "", "[s", "1"},
    {"keys before the first header", "k=v\n[s]\nk=w\n", "", "k", "v"},
    {"value after the first '='", "[s]\nk = a = b\n", "s", "k", "a = b"},
    {"empty key name answers empty", "[s]\n=v\n", "s", "", ""},
    {"blank key name finds a nameless key", "[s]\n=v\n", "s", " ", "v"},
    {"NUL ends a value", "[s]\nk=ab\0cd\n"s, "s", "k", "ab"},
    {"NUL ends a key name", "[s]\nk\0junk=v\n"s, "s", "k", "v"},
    {"NUL ends a section name", "[s\0junk]\nk=v\n"s, "s", "k", "v"},
    {"NUL ends an asked name", "[s]\nk=v\n", "s\0x"s, "k\0y"s, "v"},
    {"NUL before the name", "[s]\n\0k=v\n"s, "s", "k", ""},
    {"double quotes", "[s]\nk=\"a b\"\n", "s", "k", "a b"},
    {"single quotes", "[s]\nk=  ' a '  \n", "s", "k", " a "},
    {"empty quotes", "[s]\nk=\"\"\n", "s", "k", ""},
    {"one quote", "[s]\nk=\"\n", "s", "k", "\""},
    {"unmatched quotes", "[s]\nk=\"a'\n", "s", "k", "\"a'"},
    {"quote inside", "[s]\nk=a\"b\"\n", "s", "k", "a\"b\""},
    {"quotes then NUL", "[s]\nk='a'\0'\n"s, "s", "k", "a"},
    {"CR-only line breaks", "[s]\rj=1\rk=v\r", "s", "k", "v"},
    {"CR splits only after the last LF", "[s]\nj=1\rk=v\nm=2\rn=3", "s", "n", "3"},
    {"CR before a later LF is a blank inside the line", "[s]\nj=1\rk=v\n", "s", "k", ""},
    {"stops at the first matching key", "[s]\nk=v\n[s", "s", "k", "v"},
};

TEST(ProfileValue, CommonRulesUtf8) {
  for (const ProfileCase& c : kCommonCases) Check(c, TextEncoding::kUtf8);
}

TEST(ProfileValue, CommonRulesDoubleByte) {
  for (const ProfileCase& c : kCommonCases) Check(c, TextEncoding::kDoubleByte);
}

TEST(ProfileValue, Utf8Text) {
  const ProfileCase cases[] = {
      {"Chinese names and values", "[系统]\n程序.exe=01 说明\n", "系统", "程序.exe", "01 说明"},
      {"non-ASCII letters are not folded", "[s]\nÄ=1\n", "s", "ä", ""},
  };
  for (const ProfileCase& c : cases) Check(c, TextEncoding::kUtf8);
}

// GBK: 0x81..0xFE leads a two-byte character; its trail byte is never a
// letter, a bracket, an '=' or a line break of its own.
TEST(ProfileValue, DoubleByteText) {
  const ProfileCase cases[] = {
      {"Chinese name in GBK", "[sysdir]\n\xB3\xCC\xD0\xF2.exe=01 \xCB\xB5\xC3\xF7\n", "SYSDIR",
       "\xB3\xCC\xD0\xF2.EXE", "01 \xCB\xB5\xC3\xF7"},
      {"trail byte 'A' is not folded", "[s]\n\x81\x41=1\n", "s", "\x81\x61", ""},
      {"trail byte 'A' matches itself", "[s]\n\x81\x41=1\n", "s", "\x81\x41", "1"},
      {"trail byte ']' does not close a header", "[ab\x81]\nk=v\n", "", "k", "v"},
      {"trail ']' inside a section name", "[\x81]]\nk=v\n", "\x81]", "k", "v"},
      {"trail byte '=' does not split", "[s]\na\x81=b=c\n", "s", "a\x81=b", "c"},
      {"trail quote is no closing quote", "[s]\nk='\x81'\n", "s", "k", "'\x81'"},
      {"trail NUL does not end a value", "[s]\nk=a\x81\0b\n"s, "s", "k", "a\x81\0b"s},
      {"a lead byte takes the line break", "[s]\nj=\x81\nk=v\n", "s", "k", ""},
      {"a lead byte at the very end stands alone", "[s]\nk=\x81", "s", "k", "\x81"},
  };
  for (const ProfileCase& c : cases) Check(c, TextEncoding::kDoubleByte);
}

struct LimitCase {
  const char* what;
  std::string value;   // as written after "k="
  TextEncoding encoding;
  std::string expect;
};

TEST(ProfileValue, CutAtTheLastWholeCharacterWithin254Bytes) {
  const std::string x300(300, 'x');
  std::string han100, gbk130;
  for (int i = 0; i < 100; ++i) han100 += "汉";  // 3 bytes each
  for (int i = 0; i < 130; ++i) gbk130 += "\xBA\xBA";
  const LimitCase cases[] = {
      {"300 ASCII bytes", x300, TextEncoding::kUtf8, x300.substr(0, 254)},
      {"exactly 254", x300.substr(0, 254), TextEncoding::kUtf8, x300.substr(0, 254)},
      {"UTF-8, 3-byte characters", han100, TextEncoding::kUtf8, han100.substr(0, 252)},
      {"GBK pairs", gbk130, TextEncoding::kDoubleByte, gbk130.substr(0, 254)},
      {"GBK pairs after one ASCII byte", "a" + gbk130, TextEncoding::kDoubleByte,
       "a" + gbk130.substr(0, 252)},
      {"quoted, too long", "\"" + x300 + "\"", TextEncoding::kUtf8, x300.substr(0, 254)},
      {"quoted, fits only without its quotes", "'" + x300.substr(0, 254) + "'", TextEncoding::kUtf8,
       x300.substr(0, 254)},
  };
  for (const LimitCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ProfileValue("[s]\nk=" + c.value + "\n", "s", "k", c.encoding), c.expect);
  }
}

TEST(ProfileValue, SmallerLimits) {
  EXPECT_EQ(ProfileValue("[s]\nk=汉字\n", "s", "k", TextEncoding::kUtf8, 5), "汉");
  EXPECT_EQ(ProfileValue("[s]\nk=汉字\n", "s", "k", TextEncoding::kUtf8, 2), "");
  EXPECT_EQ(ProfileValue("[s]\nk=abc\n", "s", "k", TextEncoding::kUtf8, 0), "");
}

}  // namespace
}  // namespace kelvar
