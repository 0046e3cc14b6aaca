// Profile files and the value the Windows reader gives; Windows and the
// program's readers are held to them.  kProfileCases are ASCII (alike in
// every encoding); kDecodingCases are files as their bytes, decoded as
// Windows decodes them before the rules and the cut apply.
#pragma once

#include <string>

namespace kelvar::test {

struct ProfileCase {
  const char* what;
  std::string text, section, key, value;
};

inline const ProfileCase kProfileCases[] = {
    {"names ignore case", "[SysDir]\r\nSvcHost.EXE=1\r\n", "SYSDIR", "svchost.exe", "1"},
    {"the first of two keys wins, even empty", "[s]\r\na=\r\na=late\r\n", "s", "a", ""},
    {"only the first section of a name counts", "[s]\r\na=1\r\n[t]\r\nb=2\r\n[s]\r\nb=3\r\n", "s", "b", ""},
    {"section without closing bracket", "[s\r\na=1\r\n", "s", "a", ""},
    {"CR CR LF", "[s]\r\r\na=1\r\r\n", "s", "a", "1"},
    {"a lone CR or LF ends a line", "[s]\ra=1\nb=2\rc=3\n", "s", "b", "2"},
    {"no line end at the end", "[s]\r\na=last", "s", "a", "last"},
    {"blank lines", "\r\n\r\n[s]\r\n\r\na=1\r\n\r\n", "s", "a", "1"},
    {"comment line", "[s]\r\n;a=1\r\na=2\r\n", "s", "a", "2"},
    {"no comments after a value", "[s]\r\na=1 ;note\r\n", "s", "a", "1 ;note"},
    {"double quotes dropped", "[s]\r\na=\"quoted\"\r\n", "s", "a", "quoted"},
    {"single quotes dropped", "[s]\r\na='quoted'\r\n", "s", "a", "quoted"},
    {"blanks inside quotes kept", "[s]\r\na=\" in \"\r\n", "s", "a", " in "},
    {"unmatched quote kept", "[s]\r\na=\"open\r\n", "s", "a", "\"open"},
    {"mismatched quotes kept", "[s]\r\na=\"x'\r\n", "s", "a", "\"x'"},
    {"blanks around names and values", "  [s]  \r\n   a   =   v v   \r\n", "s", "a", "v v"},
    {"blanks inside the brackets", "[ s ]\r\na=1\r\n", "s", "a", "1"},
    {"blanks around the asked names", "[s]\r\na=1\r\n", " s ", " a ", "1"},
    {"value of blanks only", "[s]\r\na=   \r\n", "s", "a", ""},
    {"a value ends at a NUL", std::string("[s]\r\na=x\0y\r\n", 12), "s", "a", "x"},
    {"the empty key finds a nameless entry", "[s]\r\n=v\r\n", "s", "", "v"},
    {"300-byte value cut to 254", "[s]\r\na=" + std::string(300, 'x') + "\r\n", "s", "a",
     std::string(254, 'x')}};

inline std::string Times(int n, const std::string& s) { return n > 0 ? s + Times(n - 1, s) : ""; }

inline const ProfileCase kDecodingCases[] = {
    {"a pair of a user-defined area is private use", "[s]\r\na=\xA6\x81\r\n", "s", "a", "\uE6E6"},
    {"UTF-8 without a byte-order mark reads as code page 936 and keeps its '|'",
     "[s]\r\na=\xE9\x87\x8D\xE8\xA6\x81|x\r\n", "s", "a", "閲嶈\uE6E6|x"},
    {"an invalid pair is one '?'", "[s]\r\na=x\x81\x7Fy\r\n", "s", "a", "x?y"},
    {"a lead byte takes the line end after it", "[s]\na=\x81\nb=2\n", "s", "a", "?b=2"},
    {"a lead byte before a NUL stands alone", std::string("[s]\r\na=x\x81\0y\r\n", 13), "s", "a", "x?"},
    {"UTF-8: a cut-off sequence is one U+FFFD, a stray byte one each",
     "\xEF\xBB\xBF[s]\r\na=\xE9\x87|\xF0\x9F\x98|\x80\xC0.\r\n", "s", "a", "\uFFFD|\uFFFD|\uFFFD\uFFFD."},
    {"200 invalid pairs are 200 '?' within the limit", "[s]\r\na=" + Times(200, "\x81 ") + "\r\n", "s", "a",
     std::string(200, '?')},
    {"a private-use character counts two bytes in the cut", "[s]\r\na=" + Times(130, "\xA6\x81"), "s", "a",
     Times(127, "\uE6E6")},
    {"the euro sign is one byte, 0x80", "[s]\r\na=" + std::string(300, '\x80'), "s", "a", Times(254, "€")},
    {"0xFF alone, and a lead byte at the end of the file", "[s]\r\na=\xFF\x81", "s", "a", "\uF8F5?"},
    {"code page 936 names", "[s]\r\n\xBA\xCB\xD0\xC4.exe=\xBA\xCB\xD0\xC4|x\r\n", "s", "核心.exe", "核心|x"},
    {"UTF-16LE", std::string("\xFF\xFE[\0s\0]\0\n\0a\0=\0\x38\x68\xC3\x5F", 18), "s", "a", "核心"},
    {"UTF-8 cut at 254 bytes of code page 936", "\xEF\xBB\xBF[s]\na=" + Times(200, "汉"), "s", "a",
     Times(127, "汉")},
    {"UTF-8: no form in code page 936 counts a byte per UTF-16 unit",
     "\xEF\xBB\xBF[s]\na=" + Times(100, "ő") + Times(100, "😀"), "s", "a", Times(100, "ő") + Times(77, "😀")}};

}  // namespace kelvar::test
