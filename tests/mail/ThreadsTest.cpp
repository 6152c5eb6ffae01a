// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/Threads.h"
#include "mail/Browser.h"
#include "packet/HeaderExtensions.h"

#include <gtest/gtest.h>

namespace velk {

namespace {

// "number<reference" or "number<reference@id<inReplyTo"; a date of day `day` of 1996.
ListedMessage entry(const std::string& pattern, std::int64_t day) {
    std::vector<std::string> f(1);
    for (char c : pattern)
        c == '<' || c == '@' ? f.emplace_back() : f.back() += c;
    f.resize(4);
    MessageListEntry e;
    e.number = f[0];
    e.reference = f[1].empty() ? 0 : std::stoull(f[1]);
    e.messageId = f[2];
    e.inReplyTo = f[3];
    e.dateValue = 2450084 + day;
    e.subject = "S" + e.number;
    return listedMessage(e);
}

// The thread order as "number/depth" words.
std::string listed(const std::vector<std::string>& specs) {
    std::vector<ListedMessage> entries;
    for (std::size_t i = 0; i < specs.size(); ++i)
        entries.push_back(entry(specs[i], std::int64_t(i)));
    const ThreadOrder order = threadOrder(entries);
    std::string out;
    for (std::size_t k = 0; k < order.positions.size(); ++k)
        out += (k ? " " : "") + std::string(entries[order.positions[k]].number()) + "/" +
               std::to_string(order.depth[k]);
    return out;
}

} // namespace

TEST(ThreadsTest, ChainsLoopsMissingParentsAndDuplicates) {
    struct Case {
        const char* what;
        std::vector<std::string> messages; // file order, each a day older than the next
        const char* order;
    };
    const Case cases[] = {
        {"answers under their message, oldest first",
         {"1<0", "2<1", "3<1", "4<2", "5<0"},
         "1/0 2/1 4/2 3/1 5/0"},
        {"an answer listed before its message", {"4<2", "2<1", "1<0"}, "1/0 2/1 4/2"},
        {"a missing parent makes a thread of its own", {"7<3", "8<7", "9<0"}, "7/0 8/1 9/0"},
        {"an answer to itself", {"5<5", "6<5"}, "5/0 6/1"},
        {"a loop is cut above its oldest", {"1<3", "2<1", "3<2"}, "1/0 2/1 3/2"},
        {"two loops and a tail", {"1<2", "2<1", "3<4", "4<3", "5<4"}, "1/0 2/1 3/0 4/1 5/2"},
        {"duplicate numbers: the first holder", {"1<0", "1<0", "2<1"}, "1/0 2/1 1/0"},
        {"a duplicate answering its twin", {"1<0", "1<1"}, "1/0 1/1"},
        {"the identifier before the number", {"1<0@a", "2<0@b", "3<1@c<b"}, "1/0 2/0 3/1"},
        {"an unknown identifier falls back on the number", {"1<0@a", "2<1@b<zz"}, "1/0 2/1"},
        {"a loop through identifiers", {"1<0@a<b", "2<0@b<a"}, "1/0 2/1"},
        {"no number, no link", {"x<0", "y<0"}, "x/0 y/0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(listed(c.messages), c.order) << c.what;
}

TEST(ThreadsTest, HeadersDatIdentifiers) {
    const HeaderSection h =
        parseHeadersFile("[80]\nMSGID: <a@b>\nReferences: <x> <y>\nMessage-ID: z\n").sections[128];
    EXPECT_EQ(h.messageId + " " + h.inReplyTo, "<a@b> <y>");
}

TEST(ThreadsTest, ALongChainListsEveryMessageAndIndentsItsLinesUpToALimit) {
    std::vector<ListedMessage> entries;
    for (int i = 1; i <= 100000; ++i)
        entries.push_back(entry(std::to_string(i) + "<" + std::to_string(i - 1), i));
    const ThreadOrder order = threadOrder(entries);
    ASSERT_EQ(order.positions.size(), entries.size());
    EXPECT_EQ(order.depth.back(), 99999u);
    EXPECT_EQ(threadLine(entries[0], 0), messageLine(entries[0]));
    const std::string deep = threadLine(entries[0], 99999);
    EXPECT_EQ(deep.substr(63, 2 * kMaxThreadIndent + 3), std::string(24, ' ') + "S1 ");
}

} // namespace velk
