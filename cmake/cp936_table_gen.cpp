// Writes the code page 936 table of the Linux program (a C++ source file)
// from ICU's converter "windows-936-2000", the one ICU keeps for Windows'
// own code page 936: it maps every byte pair Windows maps, user-defined
// areas to private use included, to the same character.  The table holds
// ICU's answer only; how bytes that name no character are read is the
// decoder's rule (platform/linux/linux_cp936_codec.cpp), not the table's.
//   cp936_table_gen OUTPUT.cpp
#include <unicode/uclean.h>
#include <unicode/ucnv.h>

#include <cstdio>
#include <string>

#include "platform/linux/cp936_table.h"

namespace {

using kelvar::cp936::kFirstLead;
using kelvar::cp936::kLastLead;

// The one UTF-16 unit ICU gives for `bytes` taken together, or 0 when it
// gives none, or more than one, or stops at an invalid or unmapped sequence.
char16_t OneUnit(UConverter* converter, const char* bytes, int size) {
  UErrorCode error = U_ZERO_ERROR;
  ucnv_reset(converter);
  UChar out[4];
  const int32_t n = ucnv_toUChars(converter, out, 4, bytes, size, &error);
  return U_SUCCESS(error) && n == 1 ? static_cast<char16_t>(out[0]) : 0;
}

void WriteRow(std::FILE* file, UConverter* converter, int lead) {
  std::fputs("    {", file);
  for (int trail = 0; trail < 256; ++trail) {
    const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
    std::fprintf(file, "%s0x%04X", trail % 16 == 0 ? (trail ? ",\n     " : "") : ", ",
                 static_cast<unsigned>(OneUnit(converter, pair, 2)));
  }
  std::fputs("},\n", file);
}

bool Write(std::FILE* file, UConverter* converter) {
  std::fputs(
      "// Generated at build time by cmake/cp936_table_gen.cpp from ICU's \"windows-936-2000\".\n"
      "#include \"platform/linux/cp936_table.h\"\n\nnamespace kelvar::cp936 {\n\n"
      "const char16_t kHighBytes[128] = {\n   ",
      file);
  for (int byte = 0x80; byte < 0x100; ++byte) {
    const char single = static_cast<char>(byte);
    std::fprintf(file, " 0x%04X,%s", static_cast<unsigned>(OneUnit(converter, &single, 1)),
                 byte % 8 == 7 ? "\n   " : "");
  }
  std::fputs("};\n\nconst char16_t kPairs[kLeads][256] = {\n", file);
  for (int lead = kFirstLead; lead <= kLastLead; ++lead) WriteRow(file, converter, lead);
  std::fputs("};\n\n}  // namespace kelvar::cp936\n", file);
  return std::ferror(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.cpp\n", argv[0]);
    return 2;
  }
  UErrorCode error = U_ZERO_ERROR;
  UConverter* converter = ucnv_open("windows-936-2000", &error);
  if (U_FAILURE(error)) {
    std::fprintf(stderr, "ICU has no converter windows-936-2000: %s\n", u_errorName(error));
    return 1;
  }
  ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
  const std::string temporary = std::string(argv[1]) + ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "w");
  const bool written = file && Write(file, converter);
  if (file && std::fclose(file) != 0) return 1;
  ucnv_close(converter);
  u_cleanup();
  if (!written || std::rename(temporary.c_str(), argv[1]) != 0) {
    std::fprintf(stderr, "could not write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
