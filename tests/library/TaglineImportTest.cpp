// SPDX-License-Identifier: GPL-2.0-or-later
#include "library/TaglineImport.h"

#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "library/LibraryFile.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

namespace velk {

namespace {

std::string entry(const std::string& text) {
    return "\xAE" + text + "\xAF\r\n";
}

const QString kIntro = QStringLiteral("Vous allez devoir choisir le fichier texte contenant vos "
                                      "taglines\nCe fichier ne doit comporter qu'une seule "
                                      "tagline par ligne.");
const QString kQuestion =
    QStringLiteral("Ce fichier contient-il des caractères accentués MS-DOS ?");

class TaglineImportTest : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session session;
    ScriptedUiServices ui;

    void SetUp() override { dirs.configure(session); }
    QString library() const {
        return LibraryPath(session.settings.velkPath, LibraryKind::Taglines);
    }
    void writeLibrary(int count) {
        std::string content;
        for (int i = 0; i < count; ++i)
            content += entry("tag " + std::to_string(i) + "\r\n");
        writeFileAtomically(library(), QByteArray(content.data(), qsizetype(content.size())));
        ASSERT_TRUE(shown(LoadTaglines(session), ui));
    }
    QString source(const QByteArray& content) {
        QString path = dirs.dir(QStringLiteral("WORK")) + QStringLiteral("/TAGS.TXT");
        writeFileAtomically(path, content);
        return path;
    }
    // The import run with the file chosen and the DOS question answered.
    void import(const QByteArray& content, bool dosFile) {
        ui.answerOpenFile(source(content));
        ui.answerYesNo(dosFile);
        ImportTaglines(session, ui);
        EXPECT_TRUE(ui.allAnswersUsed());
        EXPECT_EQ(ui.busyDepth(), 0);
    }
    std::string text(std::size_t i) const { return session.libraries.TaglineList.at(i).text; }
};

} // namespace

TEST_F(TaglineImportTest, TenLinesTwoEmptyAddEight) {
    writeLibrary(5);
    const QByteArray before = readWholeFile(library());
    import("un\r\ndeux\r\n\r\ntrois\nquatre\r\ncinq\r\n\r\nsix\r\nsept\r\nhuit", true);
    EXPECT_EQ(ui.texts(),
              (QStringList{kIntro, kQuestion,
                           QStringLiteral("Importation réussie de 8 taglines dans VELK")}));
    const FileDialogRequest& r = ui.lastFileRequest();
    EXPECT_EQ(r.title, QStringLiteral("Importation d'un fichier de taglines"));
    EXPECT_EQ(r.directory, session.settings.velkPath);
    EXPECT_EQ(r.fileName, QStringLiteral("*.TXT"));
    EXPECT_EQ(r.filters, QStringList{QStringLiteral("Fichiers texte (*.TXT *.txt)")});
    ASSERT_EQ(session.libraries.TaglineList.size(), 13u);
    EXPECT_EQ(text(5), "un\r\n");
    EXPECT_EQ(text(12), "huit\r\n");
    EXPECT_EQ(session.libraries.TaglineList[12].number, 13);
    EXPECT_TRUE(
        readWholeFile(library()).startsWith(QByteArray(before + QByteArray("\xAEun\r\n\xAF\r\n\xAE"
                                                                           "deux\r\n\xAF\r\n"))));
}

TEST_F(TaglineImportTest, LinesOver80CharactersAreCutTo79) {
    writeLibrary(1);
    const QByteArray line80(80, 'e');
    import(QByteArray(100, 'c') + "\r\n" + line80 + "\r\n" + QByteArray(81, 'u'), true);
    ASSERT_EQ(session.libraries.TaglineList.size(), 4u);
    EXPECT_EQ(text(1), std::string(79, 'c') + "\r\n");
    EXPECT_EQ(text(2), std::string(80, 'e') + "\r\n");
    EXPECT_EQ(text(3), std::string(79, 'u') + "\r\n");
}

TEST_F(TaglineImportTest, CodePagesOfTheFile) {
    struct Case {
        QByteArray file;
        bool dosFile;
        std::string expected;
    } const cases[] = {
        {"caf\x82 \x90t\x82", true, "caf\x82 \x90t\x82"},              // DOS bytes kept as they are
        {"caf\xE9 \xC9t\xE9", false, "caf\x82 \x90t\x82"},             // Windows 1252
        {"caf\xC3\xA9 \xC3\x89t\xC3\xA9", false, "caf\x82 \x90t\x82"}, // UTF-8
        {"\xEF\xBB\xBF\xC3\xA0 \xC3\xA7"
         "a",
         false,
         "\x85 \x87"
         "a"}, // UTF-8 with its mark
        // « » and ¡ would open, close or mark an entry when the file is read back.
        {"\xC2\xAB oui \xC2\xBB \xC2\xA1", false, "\" oui \" !"},
        {"\xAE\xADx\xAF", true, "\"!x\""},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> taglines = TaglinesOfFile(c.file, c.dosFile);
        ASSERT_EQ(taglines.size(), 1u) << c.file.toStdString();
        EXPECT_EQ(taglines[0], c.expected) << c.file.toStdString();
    }
    // Through the whole import, a Windows file reads back as the DOS text.
    writeLibrary(1);
    import("Fran\xE7"
           "ais \xE0 l'\xE9"
           "cole\r\n\xAB"
           "cit\xE9\xBB\r\n",
           false);
    ASSERT_EQ(session.libraries.TaglineList.size(), 3u);
    EXPECT_EQ(text(1), "Fran\x87"
                       "ais \x85 l'\x82"
                       "cole\r\n");
    EXPECT_EQ(text(2), "\"cit\x82\"\r\n");
}

TEST_F(TaglineImportTest, StopsAt2000CountingFromTheListInMemory) {
    writeLibrary(1998);
    import("a\nb\nc\nd\ne\n", true);
    EXPECT_EQ(ui.texts().last(), QStringLiteral("VELK ne supporte pas plus de 2000 taglines.\n"
                                                "Împortation arrêtée à la 2000 ème tagline."));
    EXPECT_EQ(ui.texts().size(), 3);
    ASSERT_EQ(session.libraries.TaglineList.size(), 2000u);
    EXPECT_EQ(text(1999), "b\r\n");

    // A full library takes nothing more.
    ui.clear();
    const QByteArray full = readWholeFile(library());
    import("f\n", true);
    EXPECT_EQ(ui.texts().last(), QStringLiteral("VELK ne supporte pas plus de 2000 taglines.\n"
                                                "Împortation arrêtée à la 2000 ème tagline."));
    EXPECT_EQ(readWholeFile(library()), full);
}

TEST_F(TaglineImportTest, ALibraryNeverSavedKeepsItsBuiltInTagline) {
    ASSERT_TRUE(shown(LoadTaglines(session), ui));
    import("nouvelle\r\n", true);
    EXPECT_EQ(ui.texts().last(), QStringLiteral("Importation réussie de 1 taglines dans VELK"));
    EXPECT_EQ(readWholeFile(library()),
              QByteArray::fromStdString(BuiltInLibraryContent(LibraryKind::Taglines) +
                                        entry("nouvelle\r\n")));
}

TEST_F(TaglineImportTest, TheFileNeverGrowsPastWhatALoadAccepts) {
    writeLibrary(1);
    QByteArray file;
    for (int i = 0; i < 1000; ++i)
        file += QByteArray(80, char('a' + i % 26)) + "\r\n";
    import(file, true);
    const qint64 size = fileSizeBytes(library());
    EXPECT_LT(size, kLibraryTooBig);
    EXPECT_GT(size + 86, kLibraryTooBig);
    const int count = int(session.libraries.TaglineList.size());
    EXPECT_EQ(ui.texts().last(), QStringLiteral("Le fichier ") + library() +
                                     QStringLiteral(" est trop gros (>64Ko)\nImportation "
                                                    "arrêtée à la ") +
                                     QString::number(count) + QStringLiteral(" ème tagline."));
}

TEST_F(TaglineImportTest, CancellingTheFileDialogDoesNothing) {
    writeLibrary(2);
    ui.answerOpenFile(std::nullopt);
    ImportTaglines(session, ui);
    EXPECT_EQ(ui.texts(), QStringList{kIntro});
    EXPECT_EQ(session.libraries.TaglineList.size(), 2u);
}

TEST_F(TaglineImportTest, AFailedWriteKeepsTheLibraryAsItWas) {
    writeLibrary(3);
    const QByteArray before = readWholeFile(library());
    ui.answerOpenFile(source(QByteArray(2000, 'x').replace(70, 1, "\n")));
    ui.answerYesNo(true);
    {
        const FileSizeLimit full(std::size_t(before.size()) + 100);
        EXPECT_THROW(ImportTaglines(session, ui), VelkError);
    }
    EXPECT_EQ(readWholeFile(library()), before);
    EXPECT_EQ(ui.busyDepth(), 0);
}

TEST_F(TaglineImportTest, AMissingSourceFileStopsTheImport) {
    writeLibrary(1);
    ui.answerOpenFile(dirs.dir(QStringLiteral("WORK")) + QStringLiteral("/ABSENT.TXT"));
    ui.answerYesNo(false);
    EXPECT_THROW(ImportTaglines(session, ui), VelkError);
    EXPECT_EQ(session.libraries.TaglineList.size(), 1u);
}

} // namespace velk
