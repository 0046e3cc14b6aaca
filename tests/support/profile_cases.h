// Profile files in ASCII (alike as UTF-8, GBK and code page 936) and the
// value the Windows reader gives; Windows and the program's reader are held
// to them.
#pragma once

#include <string>

namespace kelvar::test {

struct ProfileCase {
  const char* what;
  std::string text;
  std::string section;
  std::string key;
  std::string value;
};

inline const ProfileCase kProfileCases[] = {
    {"names ignore case", "[SysDir]\r\nSvcHost.EXE=1\r\n", "SYSDIR", "svchost.exe", "1"},
    {"first of two keys wins", "[s]\r\na=1\r\na=2\r\n", "s", "a", "1"},
    {"an empty value wins too", "[s]\r\na=\r\na=late\r\n", "s", "a", ""},
    {"only the first section of a name counts", "[s]\r\na=1\r\n[t]\r\nb=2\r\n[s]\r\nb=3\r\n", "s", "b", ""},
    {"missing section", "[s]\r\na=1\r\n", "t", "a", ""},
    {"section without closing bracket", "[s\r\na=1\r\n", "s", "a", ""},
    {"LF line ends", "[s]\na=1\nb=2\n", "s", "b", "2"},
    {"CR line ends", "[s]\ra=1\rb=2\r", "s", "b", "2"},
    {"CR CR LF", "[s]\r\r\na=1\r\r\n", "s", "a", "1"},
    {"a lone CR ends a line", "[s]\ra=1\nb=2\rc=3\n", "s", "b", "2"},
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
     std::string(254, 'x')},
};

}  // namespace kelvar::test
