// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/MessageView.h"

#include "core/CharacterSet.h"
#include "core/SettingsAppearance.h"
#include "session/Session.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace velk {

namespace {

const QDate kToday(2026, 6, 1);
const QString kIndent(kBodyIndent, QLatin1Char(' '));

QString shown(const std::string& dos, bool fontNotTerminal = false) {
    return shownBodyLine(dos, fontNotTerminal);
}

std::vector<std::string> bodyLines(const std::string& text) {
    return decodeMessageBody(text).lines;
}

} // namespace

TEST(LatinToDosTableTest, EveryRowHasItsCodeAndDosLetter) {
    ASSERT_EQ(LatinToDosTable.size(), 20u);
    for (const LatinToDosRow& row : LatinToDosTable) {
        EXPECT_EQ(QString::fromLatin1(row.code), QString::number(row.iso, 16).toUpper());
        EXPECT_EQ(latinToDos(row.iso), row.dos);
        EXPECT_EQ(quotedPrintableToDos(row.code[0], row.code[1]), row.dos);
    }
    EXPECT_EQ(latinToDos(0xE9), 0x82);
    EXPECT_EQ(latinToDos(0xFC), 0x81);
    EXPECT_FALSE(latinToDos(0xC9)); // É is not in the table
    EXPECT_FALSE(quotedPrintableToDos('e', '9'));
}

TEST(MessageDateTest, PlacedInTheSlidingCenturyWindow) {
    struct Case {
        const char* date;
        const char* time;
        QDate today;
        const char* expected;
    };
    const Case cases[] = {
        {"12-25-96", "10:30", kToday, "25 décembre 1996  à 10:30"},
        {"25-12-96", "10:30", kToday, "25 décembre 1996  à 10:30"},
        {"12-25-96", "10:30", QDate(1999, 3, 1), "25 décembre 1996  à 10:30"},
        {"01-05-05", "08:05", kToday, "5 janvier 2005  à 08:05"},
        {"05-01-05", "23:59", QDate(1997, 1, 1), "1 mai 2005  à 23:59"},
        {"01/01/99", "00:00", kToday, "1 janvier 1999  à 00:00"},
        {"13-13-96", "10:30", kToday,
         "  /  /  "
         "  à 10:30"},
        {"02-30-96", "10:30", kToday,
         "  /  /  "
         "  à 10:30"},
        {"ab-cd-ef", "xx:yy", kToday,
         "  /  /  "
         "  à xx:yy"},
        {"", "", kToday,
         "  /  /  "
         "  à "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(messageDateText(c.date, c.time, c.today), QString::fromUtf8(c.expected))
            << c.date;
    const std::string nuls(8, '\0');
    EXPECT_EQ(messageDateText(nuls, std::string(5, '\0'), kToday),
              QStringLiteral("  /  /    à      "));
}

TEST(MessageBodyTest, TabsReachTheNextStop) {
    EXPECT_EQ(expandTabs("\tX"), std::string(8, ' ') + "X");
    EXPECT_EQ(expandTabs("1234567\tX"), "1234567 X");
    EXPECT_EQ(expandTabs("12345678\tX"), "12345678" + std::string(8, ' ') + "X");
    EXPECT_EQ(expandTabs("a\t\tb"), "a" + std::string(15, ' ') + "b");
    EXPECT_EQ(expandTabs("\t"), std::string(8, ' '));
    // The tab of the demo's table lines: columns 9 and 17.
    EXPECT_EQ(bodyLines("Norme\tD\x82"
                        "bit\tUn paquet\n")[0],
              "Norme   D\x82"
              "bit   Un paquet");
}

TEST(MessageBodyTest, LinesCutFromTheText) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const std::string long300(300, 'x');
    const Case cases[] = {
        {"", {""}},
        {"abc", {"abc"}},
        {"abc\n", {"abc"}},
        {"abc\nd", {"abc", "d"}}, // a last line of one character is kept
        {"abc\n\nd", {"abc", "", "d"}},
        {"ab\r\ncd\r\n", {"ab", "cd"}}, // CR LF opens no blank line
        {"\n", {""}},
        {long300 + "\nz", {std::string(255, 'x'), std::string(45, 'x'), "z"}},
        {std::string(255, 'y') + "\nz", {std::string(255, 'y'), "z"}},
        {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bodyLines(c.text), c.lines) << c.text.size();
}

TEST(MessageBodyTest, HugeLineKeepsEveryByte) {
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text.push_back(char('a' + i % 26));
    const auto lines = bodyLines(text);
    std::string joined;
    for (const auto& l : lines) {
        EXPECT_LE(l.size(), kMaxBodyLine);
        joined += l;
    }
    EXPECT_EQ(joined, text);
}

TEST(MessageBodyTest, TextOfLineFeedsStopsAtTheLineLimit) {
    // The largest text a header can announce: 65,535 blocks.
    const std::string feeds(65535u * 128u, '\n');
    const MessageBody body = decodeMessageBody(feeds);
    EXPECT_EQ(body.lines.size(), kMaxBodyLines);
    EXPECT_TRUE(body.cut);
    const std::string fits(kMaxBodyLines - 1, '\n');
    EXPECT_EQ(decodeMessageBody(fits + "x").lines.size(), kMaxBodyLines);
    EXPECT_FALSE(decodeMessageBody(fits + "x").cut);
}

TEST(MessageBodyTest, QuotedPrintableAfterTheCharsetLine) {
    const std::string text = "caf=E9 avant\n"
                             "Content-Type: text/plain; charset=iso-8859-1\n"
                             "caf=E9 noir\n"
                             "caf=e9 noir\n"
                             "Voil=E0\n"
                             "une ligne coup=\n"
                             "prix =\n"
                             "fin =E\n"
                             "==E9 =3D =C9\n"
                             "=ABguillemets=BB\n";
    const std::vector<std::string> expected = {
        "caf=E9 avant",  "Content-Type: text/plain; charset=iso-8859-1",
        "caf\x82 noir",  "caf=e9 noir",
        "Voil\x85",      "une ligne coup=",
        "prix =",        "fin =E",
        "=\x82 =3D =C9", "\xAEguillemets\xAF",
    };
    const MessageBody body = decodeMessageBody(text);
    EXPECT_EQ(body.lines, expected);
    EXPECT_FALSE(body.isoConversion);
    EXPECT_EQ(shown(body.lines[2]), kIndent + QStringLiteral("café noir"));
}

TEST(MessageBodyTest, CharsetTextIsExact) {
    EXPECT_EQ(bodyLines("charset=ISO-8859-1\ncaf=E9\n")[1], "caf=E9");
    std::string cut = "x=";
    decodeQuotedPrintable(cut);
    EXPECT_EQ(cut, "x=");
    std::string alone = "=";
    decodeQuotedPrintable(alone);
    EXPECT_EQ(alone, "=");
}

TEST(MessageBodyTest, NewsHeaderTurnsIsoConversionOn) {
    const std::string text = "Newsgroups: fr.comp.os.linux\n"
                             "Subject: caf\xE9\n"
                             "Organization: Universit\xE9\n"
                             "\n"
                             "D\xE9j\xE0 vu \xAB ici \xBB\n";
    const MessageBody body = decodeMessageBody(text);
    ASSERT_EQ(body.lines.size(), 5u);
    EXPECT_TRUE(body.isoConversion);
    EXPECT_EQ(body.lines[1], "Subject: caf\xE9"); // before Organization: unchanged
    EXPECT_EQ(body.lines[2], "Organization: Universit\x82");
    EXPECT_EQ(body.lines[4], "D\x82j\x85 vu \xAE ici \xAF");
    EXPECT_EQ(shown(body.lines[4], true), kIndent + QStringLiteral("Déjà vu « ici »"));

    struct Case {
        const char* text;
        bool iso;
    };
    const Case cases[] = {
        {"Organization: x\nNewsgroups: y\n", false},    // the wrong order
        {" Newsgroups: y\n Organization: x\n", true},   // at the second character
        {"  Newsgroups: y\nOrganization: x\n", false},  // too far in
        {"Newsgroups: y\nX-Organization: x\n", false},  // found first at character 3
        {"Newsgroups: y\n\n\nOrganization: z\n", true}, // the switch stays on
        {"newsgroups: y\nOrganization: x\n", false},    // exact case
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodeMessageBody(c.text).isoConversion, c.iso) << c.text;
}

TEST(MessageBodyTest, QuotationLines) {
    struct Case {
        const char* line;
        bool quoted;
    };
    const Case cases[] = {
        {"JD> Bonjour", true},
        {" JD> Bonjour", true},
        {"> Bonjour", false},
        {"Jd> Bonjour", false},
        {"JDX> Bonjour", true},
        {"JD | tableau", true},
        {"JD[1] note", true},
        {" JD | x", true},
        {"  JD> x", false},
        {"J> Bonjour", false},
        {"JD", false},
        {"JD ", false},
        {"JDXY> x", false},
        {" JDX> x", true},
        {" JDXY> x", false},
        {"JD: Bonjour", false},
        {"", false},
        {"\x90"
         "D> x",
         false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isQuotationLine(shown(c.line)), c.quoted) << c.line;
        EXPECT_EQ(isQuotationLine(shown(c.line, true)), c.quoted) << c.line;
    }
}

TEST(MessageBodyTest, BothDisplayFonts) {
    struct Case {
        std::string dos;
        const char16_t* dosFont;
        const char16_t* otherFont;
    };
    const Case cases[] = {
        {"\xDA\xC4\xC4\xBF", u"┌──┐", u"+--+"},
        {"\xB3 x \xBA", u"│ x ║", u"| x |"},
        {"caf\x82 \x85 \x87", u"café à ç", u"café à ç"},
        {"\xAE"
         "a\xAF",
         u"«a»", u"«a»"},
        {std::string("a\0b", 3), u"a b", u"a b"},
        {"\x01\x1A", u"☺→", u"o>"},
        {"\xB1\xFE", u"▒■", u"##"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shown(c.dos, false), kIndent + QString::fromUtf16(c.dosFont));
        EXPECT_EQ(shown(c.dos, true), kIndent + QString::fromUtf16(c.otherFont));
    }
}

TEST(MessageClipboardTest, DosTextAsItsCodePage437Characters) {
    const QString dosFontSelection = QStringLiteral("      JD> café\u2029      ─┼─");
    EXPECT_EQ(clipboardText(dosFontSelection, false), QStringLiteral("      JD> café\n      ─┼─"));
    // Another font holds Windows text: it goes back to the DOS set, box drawing stays + - |.
    const QString windowsSelection = QStringLiteral("caf\u00e9 +-+\u2029prix \u00a4 5");
    EXPECT_EQ(clipboardText(windowsSelection, true), QStringLiteral("café +-+\nprix * 5"));

    copyToClipboard(QStringLiteral("      \u2502 \u00e9"), false);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("      │ é"));
}

namespace {

class MessageViewBuildTest : public ::testing::Test {
protected:
    Session s;
    void SetUp() override {
        s.packet.control.Conferences = {
            {0, "Principal"}, {1, "Informatique"}, {7, "Ancienne"}, {7, "Cuisine \x82t\x82"}};
        MessageHeader& h = s.store.CurrentHeader;
        h.status = " ";
        h.number = "42     ";
        h.date = "12-25-96";
        h.time = "10:30";
        h.author = padRight("MARC LEF\x90VRE", 25);
        h.recipient = padRight("JEAN DUPONT", 25);
        h.subject = padRight("Re: Modem", 25);
        h.conference = 7;
        s.store.MessageText = "JD> Bonjour\n\nMerci !";
        s.browser.ListOrder = {1, 3, 5, 7};
        s.browser.LastListIndex = 3;
        s.browser.CurrentListIndex = 1;
        s.settings.inkColour = 0x000000;
        s.settings.quoteColour = 0x008000;
        s.settings.backColour = 0xE0FFFF;
        s.settings.fontNotTerminal = false;
    }
};

} // namespace

TEST_F(MessageViewBuildTest, HeaderPanelOfAPublicMessage) {
    const MessageView v = buildMessageView(s, kToday);
    EXPECT_FALSE(v.privateMessage);
    EXPECT_EQ(v.ChStatut, "Public");
    EXPECT_EQ(v.ChDate, "25 décembre 1996  à 10:30");
    EXPECT_EQ(v.ChAuteur, QStringLiteral("MARC LEFÉVRE") + QString(13, QLatin1Char(' ')));
    EXPECT_EQ(v.ChDest.size(), 25);
    EXPECT_EQ(v.ChSujet, QStringLiteral("Re: Modem") + QString(16, QLatin1Char(' ')));
    EXPECT_EQ(v.conference, 3); // the last entry of that number
    EXPECT_EQ(v.chConf, "Cuisine été");
    EXPECT_TRUE(v.numberVisible);
    EXPECT_EQ(v.chNum, "Numéro : 42     ");
    EXPECT_EQ(v.NbLabel, "Msg N° 2 / 4");
    EXPECT_EQ(v.NbLignesLabel, "Nb de lignes : 3");
    EXPECT_EQ(v.shownAuthor, s.store.CurrentHeader.author);
    EXPECT_EQ(v.shownRecipient, s.store.CurrentHeader.recipient);
    ASSERT_EQ(v.lines.size(), 3u);
    EXPECT_TRUE(v.lines[0].quoted);
    EXPECT_FALSE(v.lines[1].quoted);
    EXPECT_EQ(v.lines[1].text, kIndent);
    EXPECT_FALSE(v.scrollLines);
    EXPECT_EQ(v.ink, QColor(0, 0, 0));
    EXPECT_EQ(v.quote, QColor(0, 128, 0));
    EXPECT_EQ(v.background, QColor(255, 255, 224));
}

TEST_F(MessageViewBuildTest, PrivateStatusesAndOthers) {
    struct Case {
        const char* status;
        bool isPrivate;
    };
    const Case cases[] = {{"+", true},  {"*", true},  {" ", false},
                          {"-", false}, {"~", false}, {"", false}};
    for (const Case& c : cases) {
        s.store.CurrentHeader.status = c.status;
        const MessageView v = buildMessageView(s, kToday);
        EXPECT_EQ(v.privateMessage, c.isPrivate) << c.status;
        EXPECT_EQ(v.ChStatut, c.isPrivate ? QStringLiteral("Privé") : QStringLiteral("Public"));
    }
}

TEST_F(MessageViewBuildTest, UnknownConferenceShowsItsNumber) {
    s.store.CurrentHeader.conference = 1234;
    MessageView v = buildMessageView(s, kToday);
    EXPECT_EQ(v.conference, 0);
    EXPECT_EQ(v.chConf, "1234");
    s.packet.control.Conferences.clear();
    s.store.CurrentHeader.conference = 0;
    v = buildMessageView(s, kToday);
    EXPECT_EQ(v.conference, 0);
    EXPECT_EQ(v.chConf, "0");
}

TEST_F(MessageViewBuildTest, ReplyModeHidesTheNumber) {
    s.viewer.ReplyMode = true;
    s.replies.ReplyTable.resize(5);
    s.replies.SelectedReply = 1;
    const MessageView v = buildMessageView(s, kToday);
    EXPECT_FALSE(v.numberVisible);
    EXPECT_EQ(v.NbLabel, "Msg N° 2 / 5");
}

TEST_F(MessageViewBuildTest, EmptyTextIsOneBlankLine) {
    s.store.MessageText.clear();
    const MessageView v = buildMessageView(s, kToday);
    ASSERT_EQ(v.lines.size(), 1u);
    EXPECT_EQ(v.lines[0].text, kIndent);
    EXPECT_EQ(v.NbLignesLabel, "Nb de lignes : 1");
}

TEST_F(MessageViewBuildTest, NewsMessageScrollsPastItsHeaderBlock) {
    s.store.MessageText = "Path: a!b\nNewsgroups: fr.test\nOrganization: x\nLines: 3\n   \n"
                          "Le texte\n";
    MessageView v = buildMessageView(s, kToday);
    EXPECT_EQ(v.scrollLines, 5); // the blank line at 4, then one more
    // No blank line in the first 31: the search stops at the first position past the end.
    s.store.MessageText = "Newsgroups: a\nOrganization: b\nc";
    v = buildMessageView(s, kToday);
    EXPECT_EQ(v.scrollLines, 4);
    std::string many = "Newsgroups: a\nOrganization: b\n";
    for (int i = 0; i < 40; ++i)
        many += "X-Header: y\n";
    s.store.MessageText = many;
    EXPECT_FALSE(buildMessageView(s, kToday).scrollLines);
}

TEST_F(MessageViewBuildTest, OtherFontConvertsTheBody) {
    s.store.MessageText = "\xC4\xC4 caf\x82";
    s.settings.fontNotTerminal = true;
    EXPECT_EQ(buildMessageView(s, kToday).lines[0].text, kIndent + QStringLiteral("-- café"));
    s.settings.fontNotTerminal = false;
    EXPECT_EQ(buildMessageView(s, kToday).lines[0].text, kIndent + QStringLiteral("── café"));
}

TEST_F(MessageViewBuildTest, LongFieldsShowWhole) {
    MessageHeader& h = s.store.CurrentHeader;
    h.longFields.author = "Marc Lef\x90vre de la Grande Maison";
    h.longFields.subject = "Re: Modem et autres questions de vitesse";
    const MessageView v = buildMessageView(s, kToday);
    EXPECT_EQ(v.ChAuteur, QStringLiteral("Marc LefÉvre de la Grande Maison"));
    EXPECT_EQ(v.ChSujet, QStringLiteral("Re: Modem et autres questions de vitesse"));
    EXPECT_EQ(v.ChDest, QStringLiteral("JEAN DUPONT") + QString(14, QLatin1Char(' ')));
    EXPECT_EQ(v.shownAuthor, h.longFields.author);
    EXPECT_EQ(v.shownRecipient, h.recipient);
    EXPECT_FALSE(v.utf8);
    EXPECT_EQ(v.font, fontOf(s.settings.messageFont));
}

TEST_F(MessageViewBuildTest, Utf8MessageShowsItsOwnCharacters) {
    MessageHeader& h = s.store.CurrentHeader;
    h.longFields.utf8 = true;
    h.author = padRight("\xC3\x89ric \xE2\x82\xAC", 25);
    // A line longer than the longest shown: its last character is not cut in two.
    const std::string longLine = std::string(254, 'a') + "\xC3\xA9" + "b";
    s.store.MessageText = "Caf\xC3\xA9\tx\n" + longLine + "\ncharset=iso-8859-1 caf=E9";
    for (bool fontNotTerminal : {false, true}) {
        s.settings.fontNotTerminal = fontNotTerminal;
        const MessageView v = buildMessageView(s, kToday);
        EXPECT_TRUE(v.utf8);
        EXPECT_EQ(v.ChAuteur, QStringLiteral("Éric €") + QString(16, QLatin1Char(' ')));
        EXPECT_EQ(v.shownAuthor, "\x90ric E");
        ASSERT_EQ(v.lines.size(), 4u);
        EXPECT_EQ(v.lines[0].text, kIndent + QStringLiteral("Café    x")); // é is one column
        EXPECT_EQ(v.lines[1].text, kIndent + QString(254, QLatin1Char('a')));
        EXPECT_EQ(v.lines[2].text, kIndent + QStringLiteral("éb"));
        EXPECT_EQ(v.lines[3].text, kIndent + QStringLiteral("charset=iso-8859-1 caf=E9"));
        // The DOS font is helped by others for what it lacks.
        EXPECT_FALSE(v.font.styleStrategy() & QFont::NoFontMerging);
    }
    EXPECT_EQ(clipboardText(QStringLiteral("Éric € ─"), true, true), QStringLiteral("Éric € ─"));
}

} // namespace velk
