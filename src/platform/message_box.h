// The modal message box, with the Windows style flags and answers.
#pragma once

#include <cstdint>
#include <string>

namespace kelvar {

namespace mb {
inline constexpr std::uint32_t kOk = 0x00;
inline constexpr std::uint32_t kOkCancel = 0x01;
inline constexpr std::uint32_t kIconError = 0x10;
inline constexpr std::uint32_t kIconExclamation = 0x30;
inline constexpr std::uint32_t kIconInformation = 0x40;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
}  // namespace mb

class MessageBox {
 public:
  virtual ~MessageBox() = default;
  // Shows the box and waits; answers mb::kIdOk or mb::kIdCancel (Esc and the
  // close button answer Cancel).  OK is the default button.
  virtual int Show(const std::string& text, const std::string& title, std::uint32_t style) = 0;
};

}  // namespace kelvar
