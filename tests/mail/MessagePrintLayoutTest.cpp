// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/MessagePrint.h"

#include "packet/MessageHeader.h"
#include "session/Session.h"

#include <gtest/gtest.h>

namespace velk {

namespace {

std::vector<int> pageSizes(const std::vector<PrintedPage>& pages) {
    std::vector<int> sizes;
    sizes.reserve(pages.size());
    for (const PrintedPage& p : pages)
        sizes.push_back(int(p.size()));
    return sizes;
}

TEST(PrintLayout, BodyStartsUnderTheHeaderAndBreaksAfterTheLinesPerPage) {
    const auto pages = layoutPrintedPages(kPrintHeaderLines + 100, 80, 66);
    ASSERT_EQ(pages.size(), 2u);
    for (int i = 0; i < kPrintHeaderLines; ++i)
        EXPECT_EQ(pages[0][std::size_t(i)].y, 80 * i);
    EXPECT_EQ(pages[0][8].y, 640);
    EXPECT_EQ(pages[0].back().y, 5280);
    EXPECT_EQ(pages[1].front().y, 0);
    EXPECT_EQ(pages[1].front().line, pages[0].back().line + 1);
    EXPECT_EQ(pages[1][1].y, 80);
    EXPECT_EQ(pageSizes(pages), (std::vector<int>{67, 41}));
}

TEST(PrintLayout, PageCounts) {
    struct Case {
        int bodyLines, lineHeight, linesPerPage;
        std::vector<int> sizes;
    };
    const Case cases[] = {
        {0, 80, 66, {8}},
        {59, 80, 66, {67}}, // a body that ends on the page's last line starts no empty page
        {60, 80, 66, {67, 1}},
        {59 + 67, 80, 66, {67, 67}},
        {59 + 68, 80, 66, {67, 67, 1}},
        {3, 50, 2, {9, 2}}, // fewer lines per page than the header: the header stays whole
        {4, 10, 0, {9, 1, 1, 1}},
        {2, 0, 10, {10}}, // a line height of 0 prints with the default, not all at the top
    };
    for (const Case& c : cases)
        EXPECT_EQ(pageSizes(layoutPrintedPages(kPrintHeaderLines + c.bodyLines, c.lineHeight,
                                               c.linesPerPage)),
                  c.sizes)
            << c.bodyLines << " lines of " << c.lineHeight << ", " << c.linesPerPage;
    EXPECT_EQ(layoutPrintedPages(10, 0, 66)[0][1].y, kDefaultPrintLineHeight);
}

TEST(PrintLayout, ALineThatWouldFallOffTheSheetGoesOnTheNextPage) {
    // 66 lines of 80 pixels need 5360; this sheet holds 3000.
    const auto pages = layoutPrintedPages(kPrintHeaderLines + 100, 80, 66, 3000);
    EXPECT_EQ(pageSizes(pages), (std::vector<int>{37, 37, 34}));
    for (const PrintedPage& p : pages)
        EXPECT_LE(p.back().y + 80, 3000);
}

TEST(PrintCharset, DosTextIsConvertedOnlyForTheDosFont) {
    struct Case {
        QString line;
        bool fontNotTerminal;
        QString printed;
    };
    const Case cases[] = {
        {QStringLiteral("\u2500\u2500 caf\u00e9 \u00e0 \u2502"), false,
         QStringLiteral("-- café à |")},
        {QStringLiteral("\u2500\u2500 caf\u00e9 \u00e0 \u2502"), true,
         QStringLiteral("\u2500\u2500 caf\u00e9 \u00e0 \u2502")},
        {QStringLiteral("Bonjour"), false, QStringLiteral("Bonjour")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToPrintCharset(c.line, c.fontNotTerminal), c.printed) << c.line.toStdString();
}

TEST(PrintCharset, HeaderLinesCarryTheirTabsAndTheDateLetter) {
    Session session;
    session.packet.control.BbsName = "VELK BBS";
    MessageHeader& h = session.store.CurrentHeader;
    h.date = "12-25-96";
    h.time = "10:30";
    h.author = padRight("JEAN DUPONT", 25);
    h.recipient = std::string("H\x82L\x8ANE", 6) + std::string(19, '\0');
    session.settings.fontNotTerminal = false;
    ExportSource source;
    source.subject = QStringLiteral("Essai");
    source.conference = QStringLiteral("G\u2550N\u2550RAL");
    source.bodyLines = {QStringLiteral("      Bonjour \u2502")};
    const QStringList lines = printedLines(session, source);
    const QStringList expected = {
        QString(79, u'='),
        QStringLiteral(" BBS: \tVELK BBS"),
        QStringLiteral(" Date: \t12-25-96 à 10:30"),
        QStringLiteral(" De: \t\tJEAN DUPONT              "),
        QStringLiteral(" A: \t\tHéLèNE                   "),
        QStringLiteral(" Sujet: \tEssai"),
        QStringLiteral(" Conf.: \tG=N=RAL"),
        QString(79, u'='),
        QStringLiteral("      Bonjour |"),
    };
    EXPECT_EQ(lines, expected);
}

TEST(PrintCharset, AUtf8MessagePrintsItsOwnCharactersAndLongNames) {
    Session session;
    session.packet.control.BbsName = "VELK BBS";
    MessageHeader& h = session.store.CurrentHeader;
    h.date = "12-25-96";
    h.time = "10:30";
    h.author = padRight("JEAN DUPONT", 25);
    h.recipient = padRight("TOUS", 25);
    h.longFields.utf8 = true;
    h.longFields.author = "J\xC3\xA9r\xC3\xB4me de la Fontaine-Saint-Denis";
    session.settings.fontNotTerminal = false;
    ExportSource source;
    source.subject = QStringLiteral("Noël €");
    source.bodyLines = {QStringLiteral("      Łódź ─ €")};
    const QStringList lines = printedLines(session, source);
    EXPECT_EQ(lines[3], QStringLiteral(" De: \t\tJérôme de la Fontaine-Saint-Denis"));
    EXPECT_EQ(lines[5], QStringLiteral(" Sujet: \tNoël €"));
    EXPECT_EQ(lines[8], QStringLiteral("      Łódź ─ €"));
}

} // namespace

} // namespace velk
