// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace velk {

// 1 to `maxDigits` decimal digits and nothing else, as a value.
inline std::optional<std::uint64_t> decimalDigits(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + std::uint64_t(c - '0');
    }
    return value;
}

// A number field of a header (a message number, a reference): its digits between the blanks
// or NULs that pad it.
inline std::optional<std::uint64_t> decimalField(std::string_view field, std::size_t maxDigits) {
    while (!field.empty() && (field.front() == ' ' || field.front() == '\0'))
        field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\0'))
        field.remove_suffix(1);
    return decimalDigits(field, maxDigits);
}

} // namespace velk
