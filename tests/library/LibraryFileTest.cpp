// SPDX-License-Identifier: GPL-2.0-or-later
#include "library/LibraryFile.h"

#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "session/Session.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/ScriptedUiServices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

namespace {

class LibraryFileTest : public LibraryFixture {
protected:
    bool load(LibraryKind kind) { return shown(LoadLibrary(state, kind, dir.path()), ui); }
    bool save(LibraryKind kind) { return shown(SaveLibrary(state, kind, dir.path()), ui); }
};

} // namespace

TEST(ExtractEntry, MarksAndSkippedBytes) {
    struct Case {
        std::string buffer;
        std::size_t start;
        std::string text;
        bool isDefault;
    };
    const Case cases[] = {
        {entry("abc"), 0, "abc", false},
        {entry("abc", true), 0, "abc", true},
        {CRLF + entry("abc", true), 0, "abc", false}, // the mark only counts at start + 1
        {"\n" + entry("x", true), 0, "x", false},
        {AE + "a" + AD + "b" + AF, 0, "ab", false},     // a mark inside the text is dropped
        {"junk" + entry("t"), 0, "t", false},           // bytes before the start are skipped
        {entry("one") + entry("two"), 7, "two", false}, // from the next entry on
        {AE + "never closed", 0, "never closed", false},
        {"", 0, "", false},
    };
    for (const Case& c : cases) {
        const ExtractedEntry e = ExtractEntry(c.buffer, c.start);
        EXPECT_EQ(e.text, c.text) << c.buffer;
        EXPECT_EQ(e.isDefault, c.isDefault) << c.buffer;
    }
}

TEST(ExtractEntry, KeepsTextsLongerThanTheOldBuffer) {
    const std::string longText(5000, 'x');
    EXPECT_EQ(ExtractEntry(entry(longText), 0).text, longText);
}

TEST_F(LibraryFileTest, MissingFilesGiveTheBuiltInEntriesWithoutWritingThem) {
    ASSERT_TRUE(load(LibraryKind::Taglines));
    ASSERT_EQ(state.TaglineList.size(), 1u);
    EXPECT_EQ(state.TaglineList[0].text,
              ">>> VELK : Le meilleur Reader Off-Line sous Windows ! <<<\r\n");
    EXPECT_TRUE(state.TaglineList[0].isDefault);
    EXPECT_EQ(state.TaglineList[0].number, 1);
    EXPECT_TRUE(state.HasDefaultTagline);

    ASSERT_TRUE(load(LibraryKind::Headers));
    EXPECT_EQ(state.HeaderList.at(0).text, "Bonjour %PRENOM_DEST%,\r\n");
    EXPECT_TRUE(state.HasDefaultHeader);
    ASSERT_TRUE(load(LibraryKind::Footers));
    EXPECT_EQ(state.FooterList.at(0).text, "Amicalement,\r\n%PRENOM_AUTEUR%.\r\n");
    EXPECT_TRUE(state.HasDefaultFooter);
    ASSERT_TRUE(load(LibraryKind::Correspondents));
    ASSERT_EQ(state.CorrespondentList.size(), 1u);
    EXPECT_EQ(state.CorrespondentList[0].text, "ALL\r\n");
    EXPECT_EQ(state.CorrespondentList[0].number, 1);

    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(LibraryFileTest, AnEmptyFileReadsAsTheBuiltInContent) {
    write(LibraryKind::Footers, "");
    ASSERT_TRUE(load(LibraryKind::Footers));
    ASSERT_EQ(state.FooterList.size(), 1u);
    EXPECT_TRUE(state.FooterList[0].isDefault);
}

TEST_F(LibraryFileTest, HeaderSavedFromTwoEditorLines) {
    for (const bool isDefault : {false, true}) {
        state.HeaderList = {
            LibraryEntry{0, false, isDefault, false, "Bonjour\r\n%PRENOM_DEST%\r\n"}};
        ASSERT_TRUE(save(LibraryKind::Headers));
        EXPECT_EQ(onDisk(LibraryKind::Headers),
                  bytes(entry("Bonjour\r\n%PRENOM_DEST%\r\n", isDefault)));
        EXPECT_EQ(state.HasDefaultHeader, isDefault);
    }
}

TEST_F(LibraryFileTest, RoundTripsWithAndWithoutTheDefaultMark) {
    const std::vector<std::vector<bool>> marks = {
        {false, false, false}, {true, false, false}, {false, true, false}, {false, false, true}};
    for (const auto& m : marks) {
        state.TaglineList.clear();
        state.HasDefaultTagline = false;
        for (int i = 0; i < 3; ++i)
            state.TaglineList.push_back(
                {0, false, m[i], false, "Tag " + std::to_string(i) + " \x82t\x82\r\n"});
        ASSERT_TRUE(save(LibraryKind::Taglines));
        std::string expected;
        for (int i = 0; i < 3; ++i)
            expected += entry("Tag " + std::to_string(i) + " \x82t\x82\r\n", m[i]);
        EXPECT_EQ(onDisk(LibraryKind::Taglines), bytes(expected));

        const auto saved = state.TaglineList;
        state.TaglineList.clear();
        ASSERT_TRUE(load(LibraryKind::Taglines));
        ASSERT_EQ(state.TaglineList.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(state.TaglineList[i].text, saved[i].text);
            EXPECT_EQ(state.TaglineList[i].isDefault, bool(m[i]));
            EXPECT_EQ(state.TaglineList[i].number, i + 1);
        }
    }
}

TEST_F(LibraryFileTest, AfterADefaultEntryTheNextMarkIsNotSeen) {
    // The search after a default entry starts one byte early, on the LF: a mark on the very
    // next entry is then two bytes after the start and does not count.
    write(LibraryKind::Headers, entry("A\r\n", true) + entry("B\r\n", true) + entry("C\r\n"));
    ASSERT_TRUE(load(LibraryKind::Headers));
    ASSERT_EQ(state.HeaderList.size(), 3u);
    EXPECT_TRUE(state.HeaderList[0].isDefault);
    EXPECT_FALSE(state.HeaderList[1].isDefault);
    EXPECT_EQ(state.HeaderList[1].text, "B\r\n");
    EXPECT_EQ(state.HeaderList[2].text, "C\r\n");
}

TEST_F(LibraryFileTest, DefaultFlagSurvivesALoadWithoutDefaultUntilTheNextSave) {
    write(LibraryKind::Headers, entry("A\r\n", true));
    ASSERT_TRUE(load(LibraryKind::Headers));
    write(LibraryKind::Headers, entry("A\r\n"));
    ASSERT_TRUE(load(LibraryKind::Headers));
    EXPECT_TRUE(state.HasDefaultHeader);
    ASSERT_TRUE(save(LibraryKind::Headers));
    EXPECT_FALSE(state.HasDefaultHeader);
}

TEST_F(LibraryFileTest, DeletedEntriesAreNotSaved) {
    state.FooterList = {{0, false, false, false, "keep\r\n"}, {0, false, true, true, "gone\r\n"}};
    ASSERT_TRUE(save(LibraryKind::Footers));
    EXPECT_EQ(onDisk(LibraryKind::Footers), bytes(entry("keep\r\n")));
    EXPECT_FALSE(state.HasDefaultFooter);
}

TEST_F(LibraryFileTest, SizeLimitIs65534Bytes) {
    // One entry padded to the exact size.
    for (const int size : {65534, 65535}) {
        const std::string text(std::size_t(size - 4), 'x');
        write(LibraryKind::Taglines, entry(text));
        ASSERT_EQ(onDisk(LibraryKind::Taglines).size(), size);
        state.TaglineList = {{7, false, false, false, "previous"}};
        ui.clear();
        const bool loaded = load(LibraryKind::Taglines);
        if (size == 65534) {
            EXPECT_TRUE(loaded);
            ASSERT_EQ(state.TaglineList.size(), 1u);
            EXPECT_EQ(state.TaglineList[0].text, text);
            EXPECT_TRUE(ui.messages().isEmpty());
        } else {
            EXPECT_FALSE(loaded);
            ASSERT_EQ(state.TaglineList.size(), 1u);
            EXPECT_EQ(state.TaglineList[0].text, "previous");
            EXPECT_EQ(ui.messages(),
                      QStringList{QStringLiteral("Le fichier ") + path(LibraryKind::Taglines) +
                                  QStringLiteral(" est trop gros (>64Ko)")});
        }
    }
}

TEST_F(LibraryFileTest, ATooBigFileIsNeverOverwrittenByTheListInMemory) {
    const std::string big = entry(std::string(70000, 't'));
    write(LibraryKind::Taglines, big);
    EXPECT_FALSE(load(LibraryKind::Taglines));
    state.TaglineList = {{1, false, false, false, "small\r\n"}};
    EXPECT_FALSE(save(LibraryKind::Taglines));
    EXPECT_EQ(onDisk(LibraryKind::Taglines), bytes(big));
    EXPECT_EQ(ui.messages().size(), 2);

    // Nor is a list that would make a file the next load refuses.
    state.HeaderList = {{0, false, false, false, std::string(65531, 'h')}};
    EXPECT_FALSE(save(LibraryKind::Headers));
    EXPECT_FALSE(QFile::exists(path(LibraryKind::Headers)));
    ASSERT_EQ(ui.messages().size(), 3);
    EXPECT_EQ(ui.messages()[2], QStringLiteral("Le fichier ") + path(LibraryKind::Headers) +
                                    QStringLiteral(" est trop gros (>64Ko)"));
}

TEST_F(LibraryFileTest, ReadLimits) {
    struct Case {
        LibraryKind kind;
        int written;
        std::size_t loaded;
    };
    for (const Case c :
         {Case{LibraryKind::Headers, 250, 200}, Case{LibraryKind::Footers, 201, 200},
          Case{LibraryKind::Taglines, 2100, 2000}, Case{LibraryKind::Correspondents, 101, 100}}) {
        std::string content;
        for (int i = 0; i < c.written; ++i)
            content += entry(
                "N" + std::to_string(i) +
                (c.kind == LibraryKind::Correspondents ? ";" + std::to_string(i) + CRLF : CRLF));
        write(c.kind, content);
        ASSERT_TRUE(load(c.kind));
        const auto& list = LibraryList(state, c.kind);
        ASSERT_EQ(list.size(), c.loaded);
        EXPECT_EQ(list.back().text, "N" + std::to_string(c.loaded - 1) + CRLF);
    }
}

TEST_F(LibraryFileTest, AFileWithoutEntriesGivesAnEmptyList) {
    write(LibraryKind::Headers, "no entry here\r\n");
    ASSERT_TRUE(load(LibraryKind::Headers));
    EXPECT_TRUE(state.HeaderList.empty());
}

TEST_F(LibraryFileTest, RecordCorrespondentCountsExactNames) {
    ASSERT_TRUE(shown(RecordCorrespondent(state, "DUPONT", dir.path()), ui));
    ASSERT_TRUE(shown(RecordCorrespondent(state, "DUPONT", dir.path()), ui));
    EXPECT_EQ(onDisk(LibraryKind::Correspondents),
              bytes(entry("ALL;1\r\n") + entry("DUPONT;2\r\n")));
    ASSERT_TRUE(shown(RecordCorrespondent(state, "Dupont", dir.path()), ui));
    ASSERT_TRUE(load(LibraryKind::Correspondents));
    ASSERT_EQ(state.CorrespondentList.size(), 3u);
    EXPECT_EQ(state.CorrespondentList[1].text, "DUPONT\r\n");
    EXPECT_EQ(state.CorrespondentList[1].number, 2);
    EXPECT_EQ(state.CorrespondentList[2].text, "Dupont\r\n");
    EXPECT_EQ(state.CorrespondentList[2].number, 1);
}

TEST_F(LibraryFileTest, RecordCorrespondentStopsAt101Entries) {
    std::string content;
    for (int i = 0; i < 100; ++i)
        content += entry("N" + std::to_string(i) + ";1\r\n");
    write(LibraryKind::Correspondents, content);
    ASSERT_TRUE(shown(RecordCorrespondent(state, "NEW", dir.path()), ui));
    EXPECT_EQ(state.CorrespondentList.size(), 101u);
    EXPECT_TRUE(onDisk(LibraryKind::Correspondents).endsWith(bytes(entry("NEW;1\r\n"))));
    // The next load reads the first 100 only: the newest name gives way to the next one.
    ASSERT_TRUE(shown(RecordCorrespondent(state, "OTHER", dir.path()), ui));
    EXPECT_EQ(state.CorrespondentList.size(), 101u);
    EXPECT_TRUE(onDisk(LibraryKind::Correspondents)
                    .endsWith(bytes(entry("N99;1\r\n") + entry("OTHER;1\r\n"))));
}

TEST_F(LibraryFileTest, ANameHoldingASemicolonReadsBack) {
    ASSERT_TRUE(shown(RecordCorrespondent(state, "A;B", dir.path()), ui));
    ASSERT_TRUE(shown(RecordCorrespondent(state, "A;B", dir.path()), ui));
    EXPECT_EQ(state.CorrespondentList.at(1).text, "A;B\r\n");
    EXPECT_EQ(state.CorrespondentList.at(1).number, 2);
}

TEST_F(LibraryFileTest, ABadCountStopsTheLoadAndKeepsTheList) {
    write(LibraryKind::Correspondents, entry("ALL;1\r\n") + entry("BOB;x1\r\n"));
    state.CorrespondentList = {{5, false, false, false, "KEPT\r\n"}};
    try {
        load(LibraryKind::Correspondents);
        FAIL() << "no error";
    } catch (const VelkError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'x1' n'est pas une valeur entière correcte"));
    }
    EXPECT_EQ(state.CorrespondentList.at(0).text, "KEPT\r\n");
    EXPECT_THROW(shown(RecordCorrespondent(state, "BOB", dir.path()), ui), VelkError);
    EXPECT_EQ(onDisk(LibraryKind::Correspondents), bytes(entry("ALL;1\r\n") + entry("BOB;x1\r\n")));
}

TEST_F(LibraryFileTest, AFailedSaveKeepsThePreviousFileWhole) {
    const std::string previous = entry("old one\r\n") + entry("old two\r\n", true);
    write(LibraryKind::Headers, previous);
    state.HeaderList = {{0, false, false, false, std::string(3000, 'n') + CRLF}};
    {
        const FileSizeLimit full(1000);
        EXPECT_FALSE(save(LibraryKind::Headers));
    }
    EXPECT_EQ(onDisk(LibraryKind::Headers), bytes(previous));
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Problème lors de l'écriture de ") +
                                         path(LibraryKind::Headers)});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("ENTETES.INI")});
}

TEST_F(LibraryFileTest, SavingIntoAPathThatIsAFileFails) {
    const QString notADir = dir.filePath(QStringLiteral("plain"));
    writeFileAtomically(notADir, "x");
    state.FooterList = {{0, false, false, false, "x\r\n"}};
    EXPECT_FALSE(shown(SaveLibrary(state, LibraryKind::Footers, notADir), ui));
    EXPECT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(readWholeFile(notADir), QByteArray("x"));
}

TEST(LoadAllLibraries, FillsTheFourListsOfTheSession) {
    QTemporaryDir dir;
    Session session;
    session.settings.velkPath = dir.path();
    ScriptedUiServices ui;
    writeFileAtomically(LibraryPath(dir.path(), LibraryKind::Correspondents),
                        bytes(entry("ZOE;4\r\n")));
    REPORTED_TO(ui, LoadAllLibraries(session, said));
    EXPECT_EQ(session.libraries.HeaderList.size(), 1u);
    EXPECT_EQ(session.libraries.FooterList.size(), 1u);
    EXPECT_EQ(session.libraries.TaglineList.size(), 1u);
    ASSERT_EQ(session.libraries.CorrespondentList.size(), 1u);
    EXPECT_EQ(session.libraries.CorrespondentList[0].number, 4);
}

} // namespace velk
