// One iconv conversion; see iconv_codec.h.
#include "platform/linux/iconv_codec.h"

#include <cerrno>

namespace kelvar::procfs {
namespace {

const iconv_t kNoCodec = reinterpret_cast<iconv_t>(-1);
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

}  // namespace

IconvCodec::IconvCodec(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}

IconvCodec::~IconvCodec() {
  if (cd_ != kNoCodec) ::iconv_close(cd_);
}

int IconvCodec::Run(const char*& in, std::size_t& in_left, std::string& out) {
  ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  char chunk[256];
  while (in_left > 0) {
    char* dst = chunk;
    std::size_t dst_left = sizeof chunk;
    char* src = const_cast<char*>(in);  // iconv's prototype; it does not write
    std::size_t r = ::iconv(cd_, &src, &in_left, &dst, &dst_left);
    const int error = r == static_cast<std::size_t>(-1) ? errno : 0;
    in = src;
    out.append(chunk, static_cast<std::size_t>(dst - chunk));
    if (error != 0 && error != E2BIG) return error;
  }
  return 0;
}

bool IconvCodec::ConvertStrict(std::string_view in, std::string& out) {
  out.clear();
  if (cd_ == kNoCodec) return false;
  const char* src = in.data();
  std::size_t left = in.size();
  return Run(src, left, out) == 0;
}

std::string IconvCodec::ConvertReplacing(std::string_view in) {
  std::string out;
  if (cd_ == kNoCodec) return out;
  const char* src = in.data();
  std::size_t left = in.size();
  while (Run(src, left, out) != 0) {
    out.append(kReplacement);
    ++src;
    --left;
  }
  return out;
}

}  // namespace kelvar::procfs
