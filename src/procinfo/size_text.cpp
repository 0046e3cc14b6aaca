// Size texts for the status bar.  FormatByteSizePortable renders a byte
// count as the Windows shell's StrFormatByteSize does on a Chinese Windows
// ("532 字节", then three significant figures, cut rather than rounded), so
// the Linux program's status bar reads like the Windows one.  The digits are
// built from integers, never printed through the C library, so the user's
// locale cannot change the decimal mark.
#include "procinfo/size_text.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <optional>
#include <utility>

#include "procinfo/ini.h"

namespace kelvar {
namespace {

struct SizeRow {
  std::uint64_t limit;  // the row serves counts below this
  double divisor;
  std::uint64_t normaliser;
  int decimals;
  const char* unit;
};

constexpr std::uint64_t kKB = 1024;
constexpr std::uint64_t kMB = kKB * kKB;
constexpr std::uint64_t kGB = kMB * kKB;
constexpr std::uint64_t kTB = kGB * kKB;
constexpr std::uint64_t kPB = kTB * kKB;
constexpr std::uint64_t kEB = kPB * kKB;

// From the terabyte rows on, the count is first shifted down by 2^20 (double
// precision would lose the last digits), and the divisors are scaled down to
// match.  The last row takes every count above the rows before it.
constexpr std::array<SizeRow, 17> kRows = {{
    {10 * kKB, 10.24, 100, 2, " KB"},
    {100 * kKB, 102.4, 10, 1, " KB"},
    {1000 * kKB, 1024.0, 1, 0, " KB"},
    {10 * kMB, 10485.76, 100, 2, " MB"},
    {100 * kMB, 104857.6, 10, 1, " MB"},
    {1000 * kMB, 1048576.0, 1, 0, " MB"},
    {10 * kGB, 10737418.24, 100, 2, " GB"},
    {100 * kGB, 107374182.4, 10, 1, " GB"},
    {1000 * kGB, 1073741824.0, 1, 0, " GB"},
    {10 * kTB, 10485.76, 100, 2, " TB"},
    {100 * kTB, 104857.6, 10, 1, " TB"},
    {1000 * kTB, 1048576.0, 1, 0, " TB"},
    {10 * kPB, 10737418.24, 100, 2, " PB"},
    {100 * kPB, 107374182.4, 10, 1, " PB"},
    {1000 * kPB, 1073741824.0, 1, 0, " PB"},
    {10 * kEB, 10995116277.76, 100, 2, " EB"},
    {0, 109951162777.6, 10, 1, " EB"},
}};
constexpr std::size_t kFirstShiftedRow = 9;

std::size_t RowFor(std::uint64_t bytes) {
  std::size_t i = 0;
  while (i + 1 < kRows.size() && bytes >= kRows[i].limit) ++i;
  return i;
}

// `units` hundredths, tenths or ones, printed with that many decimals.
std::string FixedPoint(std::uint64_t units, const SizeRow& row) {
  std::string text = std::to_string(units / row.normaliser);
  if (row.decimals == 0) return text;
  std::string fraction = std::to_string(units % row.normaliser);
  fraction.insert(0, static_cast<std::size_t>(row.decimals) - fraction.size(), '0');
  return text + '.' + fraction;
}

}  // namespace

std::string FormatByteSizePortable(std::uint64_t bytes) {
  if (bytes < kKB) return std::to_string(bytes) + " 字节";
  const std::size_t i = RowFor(bytes);
  const SizeRow& row = kRows[i];
  // The small additions put counts that lie exactly on a boundary on the
  // right side of the floor.
  const double count =
      i >= kFirstShiftedRow ? static_cast<double>(bytes >> 20) + 0.001 : static_cast<double>(bytes) + 0.00001;
  const auto units = static_cast<std::uint64_t>(std::floor(count / row.divisor));
  return FixedPoint(units, row) + row.unit;
}

std::string FormatSize(std::uint64_t bytes, SizeFormatter& formatter) {
  std::optional<std::string> text = formatter.FormatByteSize(bytes);
  if (!text) return std::string();
  return remarks::TrimNull(std::move(*text));
}

}  // namespace kelvar
