// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/Mbf.h"

#include <bit>

namespace velk {

std::int32_t MbfToBlockIndex(std::uint32_t v) {
    const std::uint32_t exponentByte = v >> 24;
    if (exponentByte < 0x81 || exponentByte > 0x98)
        return -1;
    const std::uint32_t e = exponentByte & 0x7F;
    const std::uint32_t m = (v & 0xFFFFFF) | 0x800000;
    return std::int32_t(m >> ((24 - e) % 32)) - 1;
}

std::array<std::uint8_t, 4> EncodeMbf(std::uint32_t n) {
    if (n == 0 || n > 0xFFFFFF)
        return {0, 0, 0, 0};
    const int k = std::bit_width(n) - 1;
    const std::uint32_t fraction = (n - (std::uint32_t(1) << k)) << (23 - k);
    return {std::uint8_t(fraction), std::uint8_t(fraction >> 8),
            std::uint8_t((fraction >> 16) & 0x7F), std::uint8_t(129 + k)};
}

} // namespace velk
