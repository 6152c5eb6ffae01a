// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/MessageHeader.h"

#include <gtest/gtest.h>

namespace velk {

TEST(MessageHeader, BlockRoundTripKeepsEveryFieldAtFullWidth) {
    MessageHeader h;
    h.status = "*";
    h.number = "1234";
    h.date = "12-31-95";
    h.time = "23:59";
    h.recipient = "JEAN DUPONT";
    h.author = "Marie Durand";
    h.subject = "Re: bonjour";
    h.reference = "1200";
    h.blockCount = "3";
    h.active = 0xE1;
    h.conference = 1001;
    h.logicalNumber = 7;
    h.networkTag = ' ';
    const Block b = headerBlock(h);
    EXPECT_EQ(std::string(b.data(), 21), "*1234   12-31-9523:59");
    EXPECT_EQ(std::string(b.data() + 116, 6), "3     ");
    EXPECT_EQ(static_cast<unsigned char>(b[123]), 1001 & 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(b[124]), 1001 >> 8);
    const MessageHeader r = parseHeaderBlock(b);
    EXPECT_EQ(r.recipient, padRight("JEAN DUPONT", 25));
    EXPECT_EQ(r.password, std::string(12, ' '));
    EXPECT_EQ(trimRight(r.author), "Marie Durand");
    EXPECT_EQ(r.conference, 1001);
    EXPECT_EQ(r.logicalNumber, 7);
    EXPECT_TRUE(r.isPrivate());
}

} // namespace velk
