// Percent-encoding of path bytes; see file_uri.h.
#include "platform/linux/file_uri.h"

namespace kelvar {
namespace {

bool Unreserved(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("-_.!~*'()/").find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

std::string PercentEncodePath(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(path.size());
  for (char ch : path) {
    auto c = static_cast<unsigned char>(ch);
    if (Unreserved(c)) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string FileUri(std::string_view path) { return "file://" + PercentEncodePath(path); }

}  // namespace kelvar
