// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace velk {

// Index records hold a message's block number (counted from 1) as a Microsoft Binary
// Format single: exponent byte (bias 129) last, sign in the top bit of byte 2.

// The 0-based block index of a record's first 4 bytes read as a little-endian word.
// Exponent bytes 0x81 to 0x98 give exact results; any other (an all-zero record, a
// damaged one) gives -1, which callers treat as a bad entry.
std::int32_t MbfToBlockIndex(std::uint32_t v);

// The MBF bytes, in file order, of a block number from 1 to 16,777,215 (0 gives zeros).
std::array<std::uint8_t, 4> EncodeMbf(std::uint32_t n);

inline std::uint32_t mbfWord(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

} // namespace velk
