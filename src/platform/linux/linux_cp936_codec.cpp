// Cp936Codec on Linux; see linux_cp936_codec.h.
#include "platform/linux/linux_cp936_codec.h"

namespace kelvar {

LinuxCp936Codec::LinuxCp936Codec() : to_cp936_("CP936", "UTF-8"), from_cp936_("UTF-8", "CP936") {}

std::optional<std::string> LinuxCp936Codec::Encode(std::string_view utf8) {
  std::string out;
  if (!to_cp936_.ConvertStrict(utf8, out)) return std::nullopt;
  return out;
}

std::string LinuxCp936Codec::Decode(std::string_view cp936) { return from_cp936_.ConvertReplacing(cp936); }

}  // namespace kelvar
