// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/Macros.h"

#include "core/VelkError.h"
#include "session/Session.h"

#include <gtest/gtest.h>

namespace velk {

namespace {

MacroSources sources() {
    MacroSources s;
    s.messageDate = "02-03-96";
    s.messageTime = "14:05";
    s.recipient = "JEAN DUPONT";
    s.subject = "Rendez-vous   ";
    s.userName = "PIERRE MARTIN";
    s.now = QDateTime(QDate(2026, 8, 15), QTime(9, 7));
    return s;
}

std::string expand(const std::string& text, const MacroSources& s = sources()) {
    return ExpandMacros(text, s);
}

} // namespace

TEST(Macros, EachMacroInTurn) {
    const std::pair<std::string, std::string> cases[] = {
        {"%DATE%", "15 ao\x96t 2026"},
        {"%HEURE%", "09:07"},
        {"%DATEMSG%", "3 f\x82vrier 1996"},
        {"%HEUREMSG%", "14:05"},
        {"%DEST%", "Jean Dupont"},
        {"%PRENOM_DEST%", "Jean"},
        {"%NOM_DEST%", "Dupont"},
        {"%SUJET%", "Rendez-vous"},
        {"%AUTEUR%", "Pierre Martin"},
        {"%PRENOM_AUTEUR%", "Pierre"},
        {"%NOM_AUTEUR%", "Martin"},
        {"Bonjour %PRENOM_DEST%,", "Bonjour Jean,"},
        {"%DATE% puis %DATE%", "15 ao\x96t 2026 puis %DATE%"},
        {"%NOMBRE% %DEST", "%NOMBRE% %DEST"},
        {"", ""},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(expand(text), expected) << text;
}

TEST(Macros, NamesOfOneWord) {
    MacroSources s = sources();
    s.recipient = "ALL";
    s.userName = "MARTIN";
    EXPECT_EQ(expand("Bonjour %PRENOM_DEST%,", s), "Bonjour All,");
    EXPECT_EQ(expand("%NOM_DEST%/%PRENOM_AUTEUR%/%NOM_AUTEUR%", s), "All/Martin/Martin");
}

TEST(Macros, AReplacementIsExpandedOnlyByLaterMacros) {
    MacroSources s = sources();
    s.subject = "de %AUTEUR% le %DATE%";
    EXPECT_EQ(expand("%SUJET%", s), "de Pierre Martin le %DATE%");
}

TEST(Macros, TextsLongerThanTheOldBuffersStayWhole) {
    const std::string longText = std::string(5000, 'a') + "%DEST%" + std::string(5000, 'b');
    MacroSources s = sources();
    s.subject = std::string(2000, 's');
    const std::string out = expand(longText + "%SUJET%", s);
    EXPECT_EQ(out, std::string(5000, 'a') + "Jean Dupont" + std::string(5000, 'b') +
                       std::string(2000, 's'));
}

TEST(Macros, MessageDates) {
    const QDate today(2026, 8, 15);
    struct Case {
        const char* text;
        QDate date;
    };
    const Case cases[] = {
        {"02-03-96", QDate(1996, 2, 3)},   {"12-31-95", QDate(1995, 12, 31)},
        {"31/12/95", QDate(1995, 12, 31)}, {"05/06/96", QDate(1996, 5, 6)},
        {"13/12/30", QDate(2030, 12, 13)}, {"01-02-50", QDate(1950, 1, 2)},
        {"07.04.1999", QDate(1999, 7, 4)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadMessageDate(c.text, today), c.date) << c.text;
    EXPECT_EQ(LongDateDos(QDate(1995, 12, 31)), "31 d\x82"
                                                "cembre 1995");
    EXPECT_EQ(LongDateDos(QDate(2026, 1, 1)), "1 janvier 2026");
}

TEST(Macros, UnreadableDatesAndTimesStopTheExpansion) {
    for (const char* text : {"ab-cd-ef", "13-13-95", "", "1-", "02-30-96"})
        EXPECT_THROW(ReadMessageDate(text, QDate(2026, 1, 1)), VelkError) << text;
    MacroSources s = sources();
    s.messageDate = "xx-yy-zz";
    try {
        expand("%DATEMSG%", s);
        FAIL() << "no error";
    } catch (const VelkError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'xx-yy-zz' n'est pas une date correcte"));
    }
    // A text without the macro never reads the date.
    EXPECT_EQ(expand("%DATE%", s), "15 ao\x96t 2026");
    s.messageTime = "25:00";
    EXPECT_THROW(expand("%HEUREMSG%", s), VelkError);
}

TEST(NameCase, CasesAndPrefixes) {
    struct Case {
        std::string name, cased, prefix;
    };
    const Case cases[] = {
        {"JEAN-PIERRE DUPONT", "Jean-Pierre Dupont", "JPD> "},
        {"jean dupont  ", "jean dupont", "> "},
        {"ALL", "All", "A> "},
        {"H\x90LO\x8E", "H\x82lo\x84", "H> "}, // HÉLOÄ: the DOS capitals have DOS lower cases
        {"123 456", "123 456", "> "},
        {"", "", "> "},
        {"MC DONALD-O'BRIEN", "Mc Donald-O'brien", "MDO> "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NameCase(c.name), c.cased) << c.name;
        EXPECT_EQ(QuotePrefix(c.name), c.prefix) << c.name;
    }
}

TEST(Macros, SourcesComeFromTheHeaderAndTheEditor) {
    Session session;
    session.store.CurrentHeader.date = "12-31-95";
    session.store.CurrentHeader.time = "23:59";
    session.packet.control.UserName = "PAUL";
    const QDateTime now(QDate(2026, 1, 2), QTime(3, 4));
    const MacroSources s = MajMacros(session, session.store.CurrentHeader, "ZOE", "Sujet", now);
    EXPECT_EQ(ExpandMacros("%DATEMSG% %HEUREMSG% %DEST% %SUJET% %AUTEUR%", s),
              "31 d\x82"
              "cembre 1995 23:59 Zoe Sujet Paul");
}

TEST(Macros, SignatureLine) {
    EXPECT_EQ(SignatureLine("VELK"), "--- *VELK (Version 32 Bits) >>> VERSION Beta <<< *");
    EXPECT_EQ(SignatureLine("ABCDEFGHIJKLMNOP"),
              "--- *ABCDEFGHIJKLM (Version 32 Bits) >>> VERSION Beta <<< *");
}

} // namespace velk
