// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/TextInsertion.h"

#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "library/LibraryFile.h"
#include "session/Session.h"
#include "tests/support/ScriptedUiServices.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <set>

#include <gtest/gtest.h>

namespace velk {

namespace {

const std::string kSig = "--- *VELK (Version 32 Bits) >>> VERSION Beta <<< *";

InsertionContext context() {
    InsertionContext c;
    c.sources.messageDate = "12-31-95";
    c.sources.messageTime = "10:00";
    c.sources.recipient = "JEAN DUPONT";
    c.sources.subject = "Salut";
    c.sources.userName = "PIERRE MARTIN";
    c.sources.now = QDateTime(QDate(2026, 2, 3), QTime(8, 0));
    c.maxCar = 78;
    c.signature = "VELK";
    c.shownAuthor = "PAUL DURAND ";
    c.shownRecipient = "ALL";
    return c;
}

void writeLibrary(const QString& dir, LibraryKind kind, const std::string& content) {
    writeFileAtomically(LibraryPath(dir, kind),
                        QByteArray(content.data(), qsizetype(content.size())));
}

std::string entry(const std::string& text, bool isDefault = false) {
    return "\xAE" + std::string(isDefault ? "\xAD" : "") + text + "\xAF\r\n";
}

} // namespace

TEST(TextInsertion, LinesLongerThanMaxCarAreCut) {
    const std::string w78(78, 'a'), w79(79, 'b');
    const EditorLines lines = LibraryTextLines(w78 + "\r\n" + w79 + "\r\n\r\nlast", 78);
    EXPECT_EQ(lines, (EditorLines{w78, std::string(77, 'b'), "", "last"}));
    EXPECT_TRUE(LibraryTextLines("", 78).empty());
}

TEST(TextInsertion, HeaderGoesOnTopFollowedByASpaceLine) {
    EditorFlags flags;
    EditorLines lines = {"body"};
    InsereEntete("Bonjour %PRENOM_DEST%,\r\n", context(), flags, lines);
    EXPECT_EQ(lines, (EditorLines{"Bonjour Jean,", " ", "body"}));
    InsereEntete("Second\r\n", context(), flags, lines);
    EXPECT_EQ(lines, (EditorLines{"Second", " ", "Bonjour Jean,", " ", "body"}));
}

TEST(TextInsertion, FooterAfterAnEmptyLine) {
    EditorFlags flags;
    EditorLines lines = {"body"};
    AddPdp("Amicalement,\r\n%PRENOM_AUTEUR%.\r\n", context(), flags, lines);
    EXPECT_EQ(lines, (EditorLines{"body", "", "Amicalement,", "Pierre."}));
}

TEST(TextInsertion, TaglineBoxHoldsTheSignatureBeforeEachLine) {
    EditorLines box = {"old"};
    UpdateTagLine("Tag du %DATE%\r\nsuite\r\n", context(), box);
    EXPECT_EQ(box, (EditorLines{kSig, "Tag du 3 f\x82vrier 2026", kSig, "suite"}));
    InsertionContext narrow = context();
    narrow.maxCar = 20;
    UpdateTagLine("x\r\n", narrow, box);
    EXPECT_EQ(box, (EditorLines{kSig.substr(0, 19), "x"}));
    InsertionContext bad = context();
    bad.sources.messageDate = "bad date";
    EXPECT_THROW(UpdateTagLine("%DATEMSG%\r\n", bad, box), VelkError);
    EXPECT_EQ(box, (EditorLines{kSig.substr(0, 19), "x"}));
}

class LettreTypeTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    Session session;
    ScriptedUiServices ui;
    QRandomGenerator random{42};
    EditorLines lines, box;
    EditorFlags flags;

    void SetUp() override {
        session.settings.velkPath = dir.path();
        REPORTED_TO(ui, LoadAllLibraries(session, said));
    }
};

TEST_F(LettreTypeTest, ForwardWithAutomaticHeaderAndFooter) {
    flags.ForwardFlag = true;
    lines = {"PD> quoted line"};
    REPORTED_TO(ui, LettreType(session, said, context(), flags, lines, box, random));
    const EditorLines expected = {
        "Bonjour Jean,",
        " ",
        "Copie d'un message initialement envoy\x82 par ",
        "Paul Durand \x85 All",
        kHyphenLine,
        "PD> quoted line",
        kHyphenLine,
        " ",
        "",
        "Amicalement,",
        "Pierre.",
        "",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(box,
              (EditorLines{kSig, ">>> VELK : Le meilleur Reader Off-Line sous Windows ! <<<"}));
    EXPECT_FALSE(flags.ForwardFlag);
}

TEST_F(LettreTypeTest, WithoutDefaultsOnlyARandomTaglineIsAdded) {
    writeLibrary(dir.path(), LibraryKind::Headers, entry("H\r\n"));
    writeLibrary(dir.path(), LibraryKind::Footers, entry("F\r\n"));
    writeLibrary(dir.path(), LibraryKind::Taglines,
                 entry("T1\r\n") + entry("T2\r\n") + entry("T3\r\n"));
    // The flags stay set from the built-in content: the loads find no default entry.
    lines = {"body"};
    session.libraries.HasDefaultTagline = false;
    REPORTED_TO(ui, LettreType(session, said, context(), flags, lines, box, random));
    EXPECT_EQ(lines, (EditorLines{"body", ""}));
    ASSERT_EQ(box.size(), 2u);
    EXPECT_EQ(box[0], kSig);
    EXPECT_TRUE(box[1] == "T1" || box[1] == "T2" || box[1] == "T3") << box[1];

    std::set<std::string> seen;
    for (int i = 0; i < 60; ++i) {
        REPORTED_TO(ui, LettreType(session, said, context(), flags, lines, box, random));
        seen.insert(box.at(1));
    }
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(LettreTypeTest, TheFirstDefaultEntryIsTheOneInserted) {
    writeLibrary(dir.path(), LibraryKind::Taglines,
                 entry("T1\r\n") + entry("T2\r\n", true) + entry("T3\r\n"));
    REPORTED_TO(ui, LettreType(session, said, context(), flags, lines, box, random));
    EXPECT_EQ(box, (EditorLines{kSig, "T2"}));
}

} // namespace velk
