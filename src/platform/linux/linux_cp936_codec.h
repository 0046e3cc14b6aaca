// Cp936Codec on Linux: two iconv converters (glibc's "CP936"), opened once.
#pragma once

#include "platform/cp936_codec.h"
#include "platform/linux/iconv_codec.h"

namespace kelvar {

class LinuxCp936Codec final : public Cp936Codec {
 public:
  LinuxCp936Codec();
  std::optional<std::string> Encode(std::string_view utf8) override;
  std::string Decode(std::string_view cp936) override;

 private:
  procfs::IconvCodec to_cp936_;
  procfs::IconvCodec from_cp936_;
};

}  // namespace kelvar
