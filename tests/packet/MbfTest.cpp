// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/Mbf.h"

#include <gtest/gtest.h>

namespace velk {

namespace {
struct Case {
    std::uint32_t n;
    std::array<std::uint8_t, 4> bytes;
};
const Case kCases[] = {
    {1, {0x00, 0x00, 0x00, 0x81}},     {2, {0x00, 0x00, 0x00, 0x82}},
    {3, {0x00, 0x00, 0x40, 0x82}},     {100, {0x00, 0x00, 0x48, 0x87}},
    {129, {0x00, 0x00, 0x01, 0x88}},   {1000, {0x00, 0x00, 0x7A, 0x8A}},
    {65535, {0x00, 0xFF, 0x7F, 0x90}}, {16777215, {0xFF, 0xFF, 0x7F, 0x98}},
};
} // namespace

TEST(Mbf, EncodesAndDecodesBlockNumbers) {
    for (const Case& c : kCases) {
        EXPECT_EQ(EncodeMbf(c.n), c.bytes) << c.n;
        EXPECT_EQ(MbfToBlockIndex(mbfWord(c.bytes.data())), std::int32_t(c.n) - 1) << c.n;
    }
    for (std::uint32_t n = 1; n < 200000; n += 7) {
        const auto b = EncodeMbf(n);
        ASSERT_EQ(MbfToBlockIndex(mbfWord(b.data())), std::int32_t(n) - 1) << n;
    }
}

TEST(Mbf, DamagedEntriesAreRecognised) {
    EXPECT_EQ(EncodeMbf(0), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(MbfToBlockIndex(0), -1);
    EXPECT_EQ(MbfToBlockIndex(0x7F000000), -1);
    EXPECT_EQ(MbfToBlockIndex(0x99000000), -1);
    // The sign bit is ignored.
    EXPECT_EQ(MbfToBlockIndex(0x81800000), 0);
}

} // namespace velk
