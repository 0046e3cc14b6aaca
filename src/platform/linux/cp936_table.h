// Code page 936 as data: the character Windows gives for each byte of
// 0x80..0xFF read alone and for each lead byte read with the byte after it.
// The table is made at build time from ICU's converter for Windows' code
// page 936 (cmake/cp936_table_gen.cpp); 0 marks a byte or pair that names
// no character, which the decoder reads by Windows' rules.
#pragma once

namespace kelvar::cp936 {

inline constexpr int kFirstLead = 0x81;
inline constexpr int kLastLead = 0xFE;
inline constexpr int kLeads = kLastLead - kFirstLead + 1;

// The bytes 0x80..0xFF alone (0x80 is the euro sign); every lead byte is 0.
extern const char16_t kHighBytes[128];
// [lead - kFirstLead][trail]: the lead byte with the byte after it.
extern const char16_t kPairs[kLeads][256];

}  // namespace kelvar::cp936
