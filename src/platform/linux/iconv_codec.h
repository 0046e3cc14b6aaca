// One iconv conversion, opened once and kept: the remark file is read for
// every new row, and opening a converter costs more than converting a name.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace kelvar::procfs {

class IconvCodec {
 public:
  IconvCodec(const char* to, const char* from);
  ~IconvCodec();
  IconvCodec(const IconvCodec&) = delete;
  IconvCodec& operator=(const IconvCodec&) = delete;

  // Every character converted, or false (for a character the target cannot
  // hold, or an invalid sequence).
  bool ConvertStrict(std::string_view in, std::string& out);
  // Invalid or unconvertible input becomes U+FFFD, one per bad byte; for a
  // converter whose target is UTF-8.
  std::string ConvertReplacing(std::string_view in);

 private:
  // Converts as much as it can; the errno of the stop, or 0 at the end.
  int Run(const char*& in, std::size_t& in_left, std::string& out);

  iconv_t cd_;
};

}  // namespace kelvar::procfs
