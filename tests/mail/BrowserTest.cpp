// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/Browser.h"

#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "packet/ControlFile.h"
#include "packet/MessageStore.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/ConferenceShapes.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/PacketFixture.h"
#include "tests/support/ScriptedUiServices.h"

#include <QFile>

#include <algorithm>
#include <numeric>
#include <random>

#include <gtest/gtest.h>

namespace velk {

namespace {

std::string pad(const std::string& s, std::size_t width = 25) {
    std::string out = s.substr(0, width);
    out.resize(width, ' ');
    return out;
}

// The line the browser shows for a message: mark, dd/mm/yy, author, recipient, subject.
std::string line(char mark, const std::string& dayFirst, const std::string& from,
                 const std::string& to, const std::string& subject) {
    return std::string(1, mark) + " " + dayFirst + " " + pad(from) + " " + pad(to) + " " +
           pad(subject);
}

// The orders as their passes describe them: each pass walks the messages not yet listed in
// file order and lists the last that is within the running minima; nothing is left out.
std::vector<std::size_t> passes(const std::vector<MessageListEntry>& entries, int order) {
    auto key = [&](const MessageListEntry& e) {
        const std::string& field = order == 2 ? e.author : order == 3 ? e.recipient : e.subject;
        return pad(field) + e.number;
    };
    std::vector<bool> listed(entries.size(), false);
    std::vector<std::size_t> result;
    for (std::size_t pass = 0; pass < entries.size(); ++pass) {
        std::optional<std::size_t> best;
        std::optional<std::int64_t> minDate;
        std::optional<std::string> minNumber, minKey;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const MessageListEntry& e = entries[i];
            if (listed[i])
                continue;
            if (order == 1) {
                if ((minNumber && e.number > *minNumber) ||
                    (minDate && e.dateValue && *e.dateValue > *minDate))
                    continue;
                minNumber = e.number;
                if (e.dateValue)
                    minDate = e.dateValue;
            } else {
                if (minKey && key(e) > *minKey)
                    continue;
                minKey = key(e);
            }
            best = i;
        }
        listed[*best] = true;
        result.push_back(*best);
    }
    return result;
}

class BrowserTest : public PacketFixture {
protected:
    QString work() const { return s.settings.workPath; }

    PacketMessage& msg(std::uint16_t conf, const std::string& number, const std::string& date,
                       const std::string& from, const std::string& to, const std::string& subject) {
        PacketMessage& m = b.add(conf, subject, "Texte de " + number + "\n");
        m.number = number;
        m.date = date;
        m.from = from;
        m.to = to;
        return m;
    }
    // Unpacks the packet into the work directory and builds the conference list.
    std::vector<std::string> open() {
        b.writeTo(work());
        EXPECT_TRUE(shown(InitQWK(s), ui));
        return buildConferenceList(s);
    }
    std::vector<std::string> list(int line, int order) {
        s.browser.SortOrder = MessageOrder(order);
        return REPORTED_TO(ui, listConference(s, said, line));
    }
};

} // namespace

TEST(BrowserDates, DayFirstSwapsTheColumns) {
    const std::pair<const char*, const char*> cases[] = {
        {"02-05-96", "05/02/96"}, {"13-05-96", "05/13/96"}, // swapped, not interpreted
        {"01/01/99", "01/01/99"}, {"12-31-05", "31/12/05"}, {"1-5", "  /1-/  "},
    };
    for (const auto& [date, expected] : cases)
        EXPECT_EQ(DateToDayFirst(date), expected) << date;
}

TEST(BrowserDates, CalendarValueWithTheSlidingWindow) {
    const QDate today(2026, 6, 1);
    struct Case {
        const char* date;
        QDate expected; // invalid: no day
    };
    const Case cases[] = {
        {"02-05-96", QDate(1996, 2, 5)},
        {"13-05-96", QDate(1996, 5, 13)},
        {"12-31-05", QDate(2005, 12, 31)},
        {"05/12/26", QDate(2026, 5, 12)},
        {"01-01-45", QDate(2045, 1, 1)},
        {"01-01-46", QDate(1946, 1, 1)},
        {"02-29-96", QDate(1996, 2, 29)},
        {"02-30-96", QDate()},
        {"04-31-97", QDate()},
        {"13-13-96", QDate()},
        {"ab-cd-ef", QDate()},
        {"02-05/96", QDate()},
        {"", QDate()},
    };
    for (const Case& c : cases) {
        const auto value = headerDateValue(c.date, today);
        if (c.expected.isValid()) {
            ASSERT_TRUE(value.has_value()) << c.date;
            EXPECT_EQ(QDate::fromJulianDay(*value), c.expected) << c.date;
        } else {
            EXPECT_FALSE(value.has_value()) << c.date;
        }
    }
}

TEST(BrowserLines, ConferenceLineColumns) {
    EXPECT_EQ(conferenceLine(1, 12, "Principal"), "1    (12)   Principal");
    EXPECT_EQ(conferenceLine(65535, 3, "Grand"), "65535(3)    Grand");
    EXPECT_EQ(conferenceLine(5, 1234567, "Long"), "5    (1234567)Long"); // widened, not cut
    EXPECT_EQ(conferenceLine(0, 0, ""), "0    (0)    ");
}

TEST(BrowserLines, MessageLineIs88Columns) {
    MessageHeader h;
    h.status = "+";
    h.number = "123    ";
    h.date = "02-05-96";
    h.author = pad("MARIE CURIE");
    h.recipient = std::string("JEAN\0\0\0", 7) + std::string(18, '\0'); // NUL padding
    h.subject = pad("Le sujet qui d\x82passe largement", 25);
    const MessageListEntry e = makeListEntry(h, 7);
    EXPECT_EQ(e.privateMark, 'P');
    EXPECT_EQ(e.number, "123");
    EXPECT_EQ(e.headerBlock, 7);
    const std::string l = messageLine(e);
    EXPECT_EQ(l.size(), 88u);
    EXPECT_EQ(l, line('P', "05/02/96", "MARIE CURIE", "JEAN", "Le sujet qui d\x82passe largement"));
    h.status = "-";
    EXPECT_EQ(makeListEntry(h, 7).privateMark, ' ');
}

TEST(BrowserSort, TiesAndKeysOutsideTheOldLimits) {
    auto entry = [](std::string number, std::optional<QDate> day, const std::string& author) {
        MessageListEntry e;
        e.number = std::move(number);
        if (day)
            e.dateValue = day->toJulianDay();
        e.author = pad(author);
        e.recipient = pad("X");
        e.subject = pad("S");
        return e;
    };
    const QDate d1(1996, 2, 5), d2(1996, 2, 6), far(2040, 1, 1);
    struct Case {
        const char* what;
        std::vector<MessageListEntry> entries;
        int order;
        std::vector<std::size_t> expected;
    };
    const Case cases[] = {
        {"number: equal date and number, the last in file order first",
         {entry("5", d1, "A"), entry("5", d1, "B"), entry("4", d2, "C")},
         1,
         {1, 0, 2}},
        {"number: both minima must hold, so neither date nor number alone decides",
         {entry("5", d1, "A"), entry("2", QDate(1996, 2, 8), "B"),
          entry("9", QDate(1996, 2, 7), "C")},
         1,
         {0, 1, 2}},
        {"number: texts, 100 before 99 on the same day",
         {entry("99", d1, "A"), entry("100", d1, "B")},
         1,
         {1, 0}},
        {"number: after 2030 and over 999999 still listed",
         {entry("9999999", d1, "A"), entry("2", far, "B"), entry("1", d1, "C")},
         1,
         {2, 0, 1}},
        {"number: a date that is no day sorts by its number",
         {entry("3", d2, "A"), entry("1", std::nullopt, "B"), entry("2", d1, "C")},
         1,
         {1, 2, 0}},
        {"author: equal keys list the last in file order first",
         {entry("7", d1, "MEME"), entry("7", d1, "MEME"), entry("7", d1, "AVANT")},
         2,
         {2, 1, 0}},
        {"author: case and accented OEM letters compare as bytes, past the z",
         {entry("1", d1,
                "\x8E"
                "DOUARD"),
          entry("2", d1, "zoe"), entry("3", d1, "Zoe")},
         2,
         {2, 1, 0}},
        {"author: the number part compares as text",
         {entry("999", d1, "DUPONT"), entry("1000", d1, "DUPONT")},
         2,
         {1, 0}},
        {"empty conference", {}, 3, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sortedPositions(c.entries, MessageOrder(c.order)), c.expected) << c.what;
}

// Field orders at their keys' edges: last byte, bytes past 0x7F, empty, 7 digits, zero bytes.
TEST(BrowserSort, FieldOrdersAtTheEdgesOfTheirKeys) {
    const std::string z("12\0", 3), a24(24, 'A');
    const std::pair<std::string, std::string> cases[] = {
        {"X", "12"},  {"X", z}, {"X", "1200000"}, {"X", "12"},      {a24 + "\xFF", "1"},
        {"", "\xFF"}, {"", ""}, {"\x8E", "7"},    {"x", "9999999"}, {a24 + "B", "9999999"}};
    std::vector<MessageListEntry> entries(std::size(cases));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].author = entries[i].recipient = entries[i].subject = pad(cases[i].first);
        entries[i].number = cases[i].second;
    }
    for (int order = 2; order <= 4; ++order)
        EXPECT_EQ(sortedPositions(entries, MessageOrder(order)), passes(entries, order)) << order;
}

// The number order as its passes describe it, message by message, against the faster
// search the browser makes, on random conferences full of ties.
TEST(BrowserSort, NumberOrderMatchesItsPasses) {
    std::mt19937 random(20260);
    const char* numbers[] = {"1", "2", "5", "10", "99", "100", "1000"};
    for (int round = 0; round < 400; ++round) {
        std::vector<MessageListEntry> entries(random() % 70);
        for (MessageListEntry& e : entries) {
            e.number = numbers[random() % 7];
            if (random() % 8 != 0)
                e.dateValue = 2450000 + std::int64_t(random() % 6);
        }
        ASSERT_EQ(sortedPositions(entries, MessageOrder::Number), passes(entries, 1))
            << "round " << round;
    }
}

// Every order, on random entries and on the shapes that made passes long: a chain walked
// to its end at each pass, minima that cross, ties everywhere.
TEST(BrowserSort, EveryOrderMatchesItsPassesOnAdversarialEntries) {
    std::mt19937 random(14);
    auto make = [](std::size_t n, auto number, auto day, auto name) {
        std::vector<MessageListEntry> entries(n);
        for (std::size_t i = 0; i < n; ++i) {
            MessageListEntry& e = entries[i];
            e.number = number(i);
            e.dateValue = day(i);
            e.author = pad(name(i));
            e.recipient = pad(name(i * 7 + 1));
            e.subject = pad(name(i * 3 + 2));
        }
        return entries;
    };
    const std::size_t n = 400;
    auto text = [](std::size_t v) { return std::to_string(v); };
    auto none = [](std::size_t) { return std::optional<std::int64_t>(); };
    auto same = [](std::size_t) { return std::string("JEAN DUPONT"); };
    auto names = [](std::size_t i) { return "NOM " + std::to_string(i % 13); };
    struct Shape {
        const char* what;
        std::vector<MessageListEntry> entries;
    };
    std::vector<Shape> shapes = {
        {"newest first",
         make(
             n, [&](std::size_t i) { return text(n - i); },
             [&](std::size_t i) { return std::optional<std::int64_t>(2450000 + (n - i) / 3); },
             names)},
        {"number falling, date rising",
         make(
             n, [&](std::size_t i) { return text(n - i); },
             [](std::size_t i) { return std::optional<std::int64_t>(2450000 + i); }, names)},
        {"one number, one day",
         make(
             n, [](std::size_t) { return std::string("7"); },
             [](std::size_t) { return std::optional<std::int64_t>(2450000); }, same)},
        {"no day at all, numbers falling",
         make(
             n, [&](std::size_t i) { return text(n - i); }, none, same)},
        {"crossing pairs",
         make(
             n, [&](std::size_t i) { return text(i % 2 ? i : n * 2 - i); },
             [&](std::size_t i) { return std::optional<std::int64_t>(i % 2 ? n * 2 - i : i); },
             names)},
        {"crossing pairs, numbers of one width",
         make(
             n, [&](std::size_t i) { return text(1000 + (i % 2 ? i : n * 2 - i)); },
             [&](std::size_t i) { return std::optional<std::int64_t>(i % 2 ? n * 2 - i : i); },
             names)},
        {"seven digits among six",
         make(
             n, [&](std::size_t i) { return text(i % 3 ? 999999 - i : 1000000 + n - i); },
             [&](std::size_t i) { return std::optional<std::int64_t>(2450000 + (n - i) / 5); },
             names)},
    };
    for (int round = 0; round < 20; ++round) {
        shapes.push_back(
            {"random", make(
                           1 + random() % n, [&](std::size_t) { return text(random() % 50); },
                           [&](std::size_t) {
                               return random() % 9
                                          ? std::optional<std::int64_t>(2450000 + random() % 20)
                                          : std::nullopt;
                           },
                           [&](std::size_t) {
                               return std::string(1, char("AB\x8E\x90z"[random() % 5])) +
                                      std::to_string(random() % 3);
                           })});
    }
    for (const Shape& shape : shapes) {
        for (int order = 1; order <= 4; ++order)
            ASSERT_EQ(sortedPositions(shape.entries, MessageOrder(order)),
                      passes(shape.entries, order))
                << shape.what << ", order " << order;
    }
}

TEST_F(BrowserTest, ConferenceListInControlFileOrderWithIndexFilesOnly) {
    b.conference(0, "Principal")
        .conference(1001, "Linux")
        .conference(5, "Cinq")
        .conference(12345, "Grand nombre")
        .conference(7, "Sans index")
        .withoutIndex(7);
    b.add(5, "a", "x\n");
    b.add(0, "b", "x\n").personal = true;
    b.add(1001, "c", "x\n");
    b.add(12345, "d", "x\n");
    b.add(12345, "e", "x\n");
    b.add(7, "f", "x\n");
    b.add(77, "g", "x\n"); // a conference the control file does not know
    const std::vector<std::string> lines = open();
    // The directory lists 000, 005, 077, 1001, 12345; PERSONAL.NDX is no conference. The
    // conference without an index file lists its messages from MESSAGES.DAT.
    const std::vector<std::string> expected = {
        "0    (1)    Principal",    "1001 (1)    Linux",      "5    (1)    Cinq",
        "12345(2)    Grand nombre", "7    (1)    Sans index", "77   (1)    ",
    };
    EXPECT_EQ(lines, expected);
    ASSERT_EQ(s.packet.indexFiles.size(), 6u);
    EXPECT_EQ(s.packet.indexFiles[3].conferencePosition, 3);
    EXPECT_EQ(s.packet.indexFiles[4].conferencePosition, 4);
    EXPECT_EQ(s.packet.indexFiles[5].conferencePosition, -1);

    list(5, 1);
    EXPECT_EQ(s.browser.CurrentConference, 0); // unknown conference: the first, as the viewer
    list(2, 1);
    EXPECT_EQ(s.browser.CurrentConference, 2);
}

TEST_F(BrowserTest, EachSortOrderGivesItsLines) {
    b.conference(0, "Principal");
    msg(0, "101", "02-05-96", "DUPONT", "MARTIN", "Zebre");
    msg(0, "102", "02-06-96", "ALAIN", "MARTIN", "Abeille").status = "*";
    msg(0, "1000", "02-07-96", "ALAIN", "BERNARD", "Abeille");
    msg(0, "999", "02-07-96", "ALAIN", "BERNARD", "Merle").status = "+";
    open();
    const std::string l101 = line(' ', "05/02/96", "DUPONT", "MARTIN", "Zebre");
    const std::string l102 = line('P', "06/02/96", "ALAIN", "MARTIN", "Abeille");
    const std::string l1000 = line(' ', "07/02/96", "ALAIN", "BERNARD", "Abeille");
    const std::string l999 = line('P', "07/02/96", "ALAIN", "BERNARD", "Merle");
    const std::int32_t h[] = {b.headerBlockIndex(0), b.headerBlockIndex(1), b.headerBlockIndex(2),
                              b.headerBlockIndex(3)};
    struct Case {
        int order;
        std::vector<std::string> lines;
        std::vector<std::int32_t> listOrder;
    };
    const Case cases[] = {
        {1, {l101, l102, l1000, l999}, {h[0], h[1], h[2], h[3]}},
        {2, {l1000, l102, l999, l101}, {h[2], h[1], h[3], h[0]}},
        {3, {l1000, l999, l101, l102}, {h[2], h[3], h[0], h[1]}},
        {4, {l1000, l102, l999, l101}, {h[2], h[1], h[3], h[0]}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(list(0, c.order), c.lines) << "order " << c.order;
        EXPECT_EQ(s.browser.ListOrder, c.listOrder) << "order " << c.order;
        EXPECT_EQ(s.browser.LastListIndex, 3);
        EXPECT_EQ(s.browser.CurrentConference, 0);
    }
    EXPECT_EQ(s.browser.ConferenceIndex, (std::vector<std::int32_t>{h[0], h[1], h[2], h[3]}));
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST_F(BrowserTest, TwoDigitYearsOfBothCenturies) {
    b.conference(0, "Principal");
    msg(0, "2", "01-05-05", "A", "B", "En 2005");
    msg(0, "1", "12-30-96", "A", "B", "En 1996");
    open();
    // 96 read as 2096 would list the 2005 message first.
    EXPECT_EQ(list(0, 1), (std::vector<std::string>{line(' ', "30/12/96", "A", "B", "En 1996"),
                                                    line(' ', "05/01/05", "A", "B", "En 2005")}));
}

TEST_F(BrowserTest, BadDatesWhileLoading) {
    b.conference(0, "Principal");
    msg(0, "1", "13-13-96", "A", "B", "Mauvaise");
    msg(0, "2", "02-30-96", "A", "B", "Trente fevrier");
    msg(0, "3", "99-99-99", "A", "B", "Mauvaise aussi");
    open();
    const std::vector<std::string> lines = list(0, 1);
    const QString bad = QString::fromUtf8(kBadDateMessage);
    EXPECT_EQ(ui.messages(), (QStringList{bad, bad})); // once per bad header
    // 02-30-96 passes the header check but is no day: listed, sorted by its number.
    EXPECT_EQ(lines, (std::vector<std::string>{line(' ', "01/01/99", "A", "B", "Mauvaise"),
                                               line(' ', "30/02/96", "A", "B", "Trente fevrier"),
                                               line(' ', "01/01/99", "A", "B", "Mauvaise aussi")}));
    // Sorting again reads nothing again; loading again does.
    list(0, 2);
    EXPECT_EQ(ui.messages().size(), 2);
    s.browser.LoadedConference.reset();
    list(0, 1);
    EXPECT_EQ(ui.messages().size(), 4);
}

TEST_F(BrowserTest, IndexEntriesThatLeadNowhere) {
    b.conference(0, "Principal").conference(1, "Vide");
    msg(0, "1", "02-05-96", "A", "B", "Vrai");
    b.extraIndexEntry(0, 9999);                 // past the end of the file
    b.extraIndexBytes(0, std::string(5, '\0')); // a damaged record
    b.extraIndexBytes(0, "\x01\x02");           // a partial record: ignored
    b.add(1, "x", "x\n");
    open();
    const std::string anomaly = line(' ', "01/01/99", std::string(25, '-'), std::string(25, '-'),
                                     "Anomalie pointeur/index ");
    const std::vector<std::string> lines = list(0, 4);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], anomaly);
    EXPECT_EQ(lines[1], anomaly);
    EXPECT_EQ(lines[2], line(' ', "05/02/96", "A", "B", "Vrai"));
    EXPECT_TRUE(ui.texts().isEmpty());

    QFile::resize(joinPath(work(), b.indexName(1)), 4); // no whole record
    s.browser.LoadedConference.reset();
    EXPECT_TRUE(list(1, 1).empty());
    EXPECT_EQ(s.browser.LastListIndex, -1);
}

TEST_F(BrowserTest, ThreeThousandMessagesAreAllListed) {
    b.conference(0, "Principal");
    const QDate first(1996, 1, 1);
    for (int i = 0; i < 3000; ++i) {
        const QDate d = first.addDays(i);
        msg(0, std::to_string(i + 1), d.toString("MM-dd-yy").toStdString(), "AUTEUR", "DEST",
            "Sujet " + std::to_string(i));
    }
    open();
    const std::vector<std::string> lines = list(0, 1);
    ASSERT_EQ(lines.size(), 3000u);
    EXPECT_EQ(lines.front(), line(' ', "01/01/96", "AUTEUR", "DEST", "Sujet 0"));
    EXPECT_EQ(lines.back(), line(' ', first.addDays(2999).toString("dd/MM/yy").toStdString(),
                                 "AUTEUR", "DEST", "Sujet 2999"));
    EXPECT_EQ(s.browser.ListOrder.size(), 3000u);
    EXPECT_EQ(s.browser.ListOrder.back(), b.headerBlockIndex(2999));
    EXPECT_EQ(s.browser.LastListIndex, 2999);
}

// Conferences as boards send them, read from the packet: each order lists what its passes
// list, every message once.
TEST_F(BrowserTest, ShapedConferencesListInTheOrdersOfThePasses) {
    std::uint16_t conference = 0;
    for (ConferenceShape shape : kConferenceShapes) {
        b.conference(conference, shapeName(shape));
        addShapedMessages(b, conference, shape, 500, 1000u + conference);
        ++conference;
    }
    ASSERT_EQ(open().size(), std::size(kConferenceShapes));
    for (int line = 0; line < int(std::size(kConferenceShapes)); ++line) {
        for (int order = 1; order <= 4; ++order) {
            ASSERT_EQ(list(line, order).size(), 500u);
            std::vector<std::int32_t> expected;
            for (std::size_t p : passes(listEntries(s.browser.MessageList), order))
                expected.push_back(s.browser.MessageList[p].headerBlock);
            ASSERT_EQ(s.browser.ListOrder, expected)
                << shapeName(kConferenceShapes[line]) << ", order " << order;
        }
    }
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST_F(BrowserTest, SortingAgainDoesNotRereadTheIndex) {
    b.conference(0, "Principal");
    msg(0, "1", "02-05-96", "B", "X", "Un");
    msg(0, "2", "02-06-96", "A", "X", "Deux");
    open();
    list(0, 1);
    QFile::remove(joinPath(work(), b.indexName(0)));
    EXPECT_EQ(list(0, 2).front(), line(' ', "06/02/96", "A", "X", "Deux"));
    // Once the loaded conference is forgotten (the window came up again), the file is needed.
    s.browser.LoadedConference.reset();
    try {
        list(0, 1);
        ADD_FAILURE() << "no error for a missing index file";
    } catch (const VelkError& e) {
        EXPECT_EQ(e.message(), "Fichier introuvable");
    }
    EXPECT_TRUE(s.browser.ListOrder.empty());
    EXPECT_EQ(s.browser.LastListIndex, -1);
    EXPECT_FALSE(s.browser.LoadedConference);
}

TEST_F(BrowserTest, MissingMessageFileStopsTheListing) {
    b.conference(0, "Principal");
    msg(0, "1", "02-05-96", "A", "X", "Un");
    open();
    QFile::remove(joinPath(work(), "MESSAGES.DAT"));
    EXPECT_THROW(list(0, 1), VelkError);
    EXPECT_TRUE(s.browser.MessageList.empty());
}

TEST_F(BrowserTest, ANewConferenceListForgetsTheLoadedOne) {
    b.conference(0, "Principal");
    msg(0, "1", "02-05-96", "ANCIEN", "X", "Premier paquet");
    open();
    list(0, 1);
    // Another packet in the work directory: line 0 now names another file's messages.
    PacketBuilder other;
    other.conference(3, "Autre");
    other.add(3, "Second paquet", "x\n").from = "NOUVEAU";
    QFile::remove(joinPath(work(), b.indexName(0)));
    other.writeTo(work());
    ASSERT_TRUE(shown(InitQWK(s), ui));
    EXPECT_EQ(buildConferenceList(s), std::vector<std::string>{"3    (1)    Autre"});
    EXPECT_EQ(list(0, 1).front().substr(11, 7), "NOUVEAU");
}

TEST_F(BrowserTest, ReadingAListedMessage) {
    b.conference(0, "Principal");
    msg(0, "1", "02-06-96", "B", "X", "Un");
    msg(0, "2", "02-05-96", "A", "X", "Deux");
    open();
    list(0, 2);
    EXPECT_FALSE(REPORTED_TO(ui, readListedMessage(s, said, 2)));
    EXPECT_FALSE(REPORTED_TO(ui, readListedMessage(s, said, -1)));
    ASSERT_TRUE(REPORTED_TO(ui, readListedMessage(s, said, 1)));
    EXPECT_EQ(s.browser.CurrentListIndex, 1);
    EXPECT_EQ(s.store.CurrentHeader.number.substr(0, 1), "1");
    EXPECT_EQ(s.store.MessageText, "Texte de 1");
}

TEST_F(BrowserTest, PersonalListIntoListOrder) {
    b.conference(0, "Principal").conference(1, "Autre");
    b.add(0, "a", "x\n").to = "ALL";
    b.add(1, "b", "x\n").personal = true;
    b.add(0, "c", "x\n").to = "ALL";
    b.add(0, "d", "x\n").personal = true;
    open();
    list(0, 1);
    loadPersonalList(s);
    const std::vector<std::int32_t> expected = {b.headerBlockIndex(1), b.headerBlockIndex(3)};
    EXPECT_EQ(s.browser.ConferenceIndex, expected);
    EXPECT_EQ(s.browser.ListOrder, expected);
    EXPECT_EQ(s.browser.LastListIndex, 1);
    EXPECT_FALSE(s.browser.LoadedConference);

    // A trailing partial record is ignored; without the file, the messages addressed to the
    // user are found in MESSAGES.DAT; an empty file is believed.
    QFile f(joinPath(work(), "PERSONAL.NDX"));
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("\x01\x02");
    f.close();
    loadPersonalList(s);
    EXPECT_EQ(s.browser.ListOrder, expected);
    QFile::remove(joinPath(work(), "PERSONAL.NDX"));
    loadPersonalList(s);
    EXPECT_EQ(s.browser.ListOrder, expected);
    writeFileAtomically(joinPath(work(), "PERSONAL.NDX"), QByteArray());
    loadPersonalList(s);
    EXPECT_TRUE(s.browser.ListOrder.empty());
    EXPECT_EQ(s.browser.LastListIndex, -1);
}

TEST_F(BrowserTest, PacketFromTheWild) {
    b.quirks.lowerCaseNames = true;
    b.quirks.nulPadding = true;
    b.quirks.plainIndexNames = true;
    b.conference(5, "Cinq").conference(1001, "Linux");
    msg(5, "2", "02-06-96", "ANNE", "TOUS", "Suite");
    msg(5, "1", "02-05-96", "BOB", "ANNE", "Debut").status = "x"; // unknown status: public
    msg(1001, "3", "02-07-96", "ZOE", "TOUS", "Autre").oneBlock = true;
    EXPECT_EQ(open(), (std::vector<std::string>{"5    (2)    Cinq", "1001 (1)    Linux"}));
    EXPECT_EQ(list(0, 1),
              (std::vector<std::string>{line(' ', "05/02/96", "BOB", "ANNE", "Debut"),
                                        line(' ', "06/02/96", "ANNE", "TOUS", "Suite")}));
    EXPECT_EQ(list(0, 2).front().substr(11, 4), "ANNE");
    EXPECT_EQ(list(1, 1),
              (std::vector<std::string>{line(' ', "07/02/96", "ZOE", "TOUS", "Autre")}));
    EXPECT_TRUE(ui.texts().isEmpty());
}

// Header blocks laid byte by byte, hostile ones among them, listed in one pass over the file:
// each as the viewer reads it, in the order asked, every bad date reported.
TEST_F(BrowserTest, ListedHeadersAreTheHeadersTheViewerReads) {
    std::mt19937 random(27);
    const char alphabet[] = {'\0', ' ', '\xC4', '-', '/', '*',   '+',
                             '0',  '1', '2',    '9', 'A', '\x82'};
    std::string bytes(kBlockSize, ' ');
    for (int i = 0; i < 600; ++i) {
        Block block;
        for (char& c : block)
            c = alphabet[random() % sizeof alphabet];
        if (i % 3 != 0) {
            const QDate d(1980 + int(random() % 60), 1 + int(random() % 12),
                          1 + int(random() % 28));
            const std::string date = d.toString(i % 2 ? "MM-dd-yy" : "dd-MM-yyyy").toStdString();
            std::copy_n(date.data(), std::min<std::size_t>(date.size(), 8), block.data() + 8);
        }
        if (i % 11 == 0)
            block.fill('\0');
        bytes.append(block.data(), block.size());
    }
    writeFileAtomically(joinPath(work(), "MESSAGES.DAT"), QByteArray::fromStdString(bytes));
    std::vector<std::int32_t> blocks(600);
    std::iota(blocks.begin(), blocks.end(), 1);
    std::shuffle(blocks.begin(), blocks.end(), random);
    blocks.insert(blocks.end(), {0, -1, 5000, 7, 7});

    ScriptedUiServices listing, reading;
    BlockFile file(joinPath(work(), "MESSAGES.DAT"));
    const std::vector<ListedMessage> listed =
        REPORTED_TO(listing, readListedMessages(file, blocks, said));
    ASSERT_EQ(listed.size(), blocks.size());
    BlockFile again(joinPath(work(), "MESSAGES.DAT"));
    MessageStoreState store;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        ReadMessageHeader(again, blocks[i], store).showTo(reading);
        const MessageListEntry read = makeListEntry(store.CurrentHeader, blocks[i]);
        const MessageListEntry got = listEntry(listed[i]);
        EXPECT_EQ(messageLine(got), messageLine(read)) << "block " << blocks[i];
        EXPECT_TRUE(got.number == read.number && got.dateValue == read.dateValue) << blocks[i];
        EXPECT_EQ(listed[i].conference, store.CurrentHeader.conference);
    }
    EXPECT_EQ(listing.messages(), reading.messages());
}

} // namespace velk
