// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/NewFilesList.h"

#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "tests/support/LockedDirectory.h"
#include "tests/support/ViewerTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <vector>

namespace velk {

namespace {

using namespace viewertest;

TEST(NewFilesText, DosLinesBecomeGlyphLines) {
    struct Case {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"A.ZIP\r\nB.ZIP\r\n", "A.ZIP\nB.ZIP"},
        {"A.ZIP\nB.ZIP", "A.ZIP\nB.ZIP"},
        {"A\rB\r\n\r\nC", "A\nB\n\nC"},
        {"Utilitaire \x82t\x82 \xC9\xCD\xBB\t1\r\n", "Utilitaire été ╔═╗\t1"},
        {"FIN\r\n\x1A"
         "description SAUCE",
         "FIN"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(newFilesText(c.bytes), c.text) << c.bytes.toStdString();
}

TEST(NewFilesText, MissingFileIsTheRuntimeError) {
    Session s;
    QTemporaryDir dir;
    s.settings.workPath = dir.path();
    EXPECT_THROW(loadNewFiles(s), VelkError);
    writeFileAtomically(dir.filePath("newfiles.dat"), "X.ZIP\r\n");
    EXPECT_EQ(loadNewFiles(s), "X.ZIP");
}

// Lines 0 to 4 of a small list; positions are given as (line, column).
const QString kList = QStringLiteral("JEU.ZIP  Un jeu de cartes\n"
                                     "COPIE.ZIP  Copie de disquettes\n"
                                     "jeu2.zip  Suite du jeu\n"
                                     "abab\n"
                                     "Fin de la liste jeu");

struct Step {
    FindRequest request;
    int line = -1; // -1: not found
    int column = 0;
    int length = 0;
};

FindRequest down(const char* text, bool matchCase = false, bool wholeWord = false) {
    return FindRequest{QString::fromUtf8(text), matchCase, wholeWord, true};
}
FindRequest up(const char* text, bool matchCase = false, bool wholeWord = false) {
    return FindRequest{QString::fromUtf8(text), matchCase, wholeWord, false};
}

struct SearchCase {
    const char* name;
    std::vector<Step> steps;
};

TEST(FindDialog1Find, SuccessiveRequests) {
    const SearchCase cases[] = {
        {"downward ignoring case",
         {{down("jeu"), 0, 0, 3},
          {down("jeu"), 0, 12, 3},
          {down("jeu"), 2, 0, 3},
          {down("jeu"), 2, 19, 3},
          {down("jeu"), 4, 16, 3},
          {down("jeu"), -1}}},
        {"match case", {{down("JEU", true), 0, 0, 3}, {down("JEU", true), -1}}},
        {"match case lower", {{down("jeu", true), 0, 12, 3}, {down("jeu", true), 2, 0, 3}}},
        {"whole word needs a blank on each side",
         {{down("jeu", false, true), 0, 11, 5}, {down("jeu", false, true), -1}}},
        {"whole word at line start or end is not found",
         {{down("JEU.ZIP", false, true), -1}, {down("cartes", false, true), -1}}},
        {"upward from the start finds nothing", {{up("jeu"), -1}}},
        {"down then up",
         {{down("copie"), 1, 0, 5},
          {down("copie"), 1, 11, 5},
          {up("copie"), 1, 11, 5},
          {up("copie"), 1, 0, 5},
          {up("copie"), -1}}},
        {"upward finds an adjacent earlier match",
         {{down("ab"), 3, 0, 2}, {down("ab"), 3, 2, 2}, {up("ab"), 3, 2, 2}, {up("ab"), 3, 0, 2}}},
        {"not found", {{down("zzz"), -1}, {down("jeu"), 0, 0, 3}}},
    };
    for (const SearchCase& c : cases) {
        NewFilesSearch search;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            const NewFilesSearch before = search;
            const FindOutcome out = FindDialog1Find(kList, step.request, search);
            SCOPED_TRACE(std::string(c.name) + ", step " + std::to_string(i));
            if (step.line < 0) {
                EXPECT_FALSE(out.found);
                EXPECT_EQ(search.position, before.position);
                EXPECT_EQ(search.lastMatchLine, before.lastMatchLine);
                continue;
            }
            ASSERT_TRUE(out.found);
            EXPECT_EQ(out.line, step.line);
            EXPECT_EQ(out.start - int(kList.left(out.start).lastIndexOf('\n') + 1), step.column);
            EXPECT_EQ(out.length, step.length);
            EXPECT_EQ(out.scrollLines, step.line - before.lastMatchLine);
            EXPECT_EQ(search.lastMatchLine, step.line);
            EXPECT_EQ(kList.mid(out.start, out.length).toUpper(),
                      (step.request.wholeWord ? " " + step.request.text + " " : step.request.text)
                          .toUpper());
        }
    }
}

TEST(FindDialog1Find, PositionsBeyondSixteenBitsAndSharpS) {
    // A list longer than 65,535 characters, with the DOS sharp s before the match: an
    // upper-case copy that grew would shift every position after it.
    QString text = QString(70000, QLatin1Char('x')) + QStringLiteral("\nstraße CIBLE");
    NewFilesSearch search;
    const FindOutcome out = FindDialog1Find(text, down("cible"), search);
    ASSERT_TRUE(out.found);
    EXPECT_EQ(out.start, 70008);
    EXPECT_EQ(out.line, 1);
    EXPECT_EQ(search.position, 70008 + 1 + 5);
}

class ExportTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("LISTE.TXT"); }
};

TEST_F(ExportTest, CreatesThenAppends) {
    const QString text = QStringLiteral("A.ZIP  été ╔═╗\nB.ZIP");
    exportNewFiles(path(), text);
    const QByteArray once =
        "A.ZIP  \xC3\xA9t\xC3\xA9 \xE2\x95\x94\xE2\x95\x90\xE2\x95\x97\nB.ZIP\n";
    EXPECT_EQ(readWholeFile(path()), once);
    exportNewFiles(path(), text);
    EXPECT_EQ(readWholeFile(path()), once + once);
}

TEST_F(ExportTest, AppendStartsOnALineOfItsOwn) {
    writeFileAtomically(path(), "mes notes");
    exportNewFiles(path(), "A.ZIP");
    EXPECT_EQ(readWholeFile(path()), QByteArray("mes notes\nA.ZIP\n"));
    exportNewFiles(dir.filePath("VIDE.TXT"), QString());
    EXPECT_EQ(readWholeFile(dir.filePath("VIDE.TXT")), QByteArray());
}

TEST_F(ExportTest, FailedWriteKeepsTheFile) {
    const QString locked = dir.filePath("locked");
    QDir().mkpath(locked);
    const QString target = joinPath(locked, "LISTE.TXT");
    writeFileAtomically(target, "ancienne liste\n");
    {
        LockedDirectory lock(locked);
        if (!lock.locked())
            GTEST_SKIP() << "no way to make a directory read-only here";
        try {
            exportNewFiles(target, "A.ZIP");
            ADD_FAILURE() << "the export should fail";
        } catch (const VelkError& e) {
            EXPECT_TRUE(e.message().startsWith("Erreur E/S ")) << e.message().toStdString();
        }
    }
    EXPECT_EQ(readWholeFile(target), QByteArray("ancienne liste\n"));
    EXPECT_EQ(QDir(locked).entryList(QDir::Files), QStringList{"LISTE.TXT"});
    EXPECT_THROW(exportNewFiles(dir.filePath("absent/LISTE.TXT"), "A.ZIP"), VelkError);
}

} // namespace

} // namespace velk
