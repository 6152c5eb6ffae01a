// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/MessageExport.h"

#include "core/FileUtil.h"
#include "packet/MessageHeader.h"
#include "session/Session.h"
#include "tests/support/ScriptedUiServices.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace velk {

namespace {

const QByteArray kTop = QByteArray(79, '=') + "\r\n";
const QByteArray kRule = QByteArray(80, '-') + "\r\n";
const QDateTime kNow(QDate(2024, 3, 5), QTime(9, 7));

struct ExportFixture : ::testing::Test {
    QTemporaryDir dir;
    Session session;
    ScriptedUiServices ui;

    void SetUp() override {
        session.settings.velkPath = dir.path();
        session.packet.control.BbsName = "LA BOITE A LETTRES";
        session.packet.control.UserName = "PIERRE LEGRAND";
        MessageHeader& h = session.store.CurrentHeader;
        h.status = " ";
        h.date = "12-25-96";
        h.time = "10:30";
        h.author = padRight("JEAN DUPONT", 25);
        h.recipient = padRight("TOUS", 25);
        h.subject = padRight("Essai", 25);
    }

    ExportSource publicSource() const {
        ExportSource s;
        s.bodyLines = {QStringLiteral("      Bonjour"), QStringLiteral("      "),
                       QStringLiteral("      A bientôt.")};
        s.subject = QStringLiteral("Essai                    ");
        s.conference = QStringLiteral("GENERAL");
        return s;
    }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

const QByteArray kPublicBlock = kTop +
                                "  BBS: LA BOITE A LETTRES\r\n"
                                " Date: 12-25-96 \xC3\xA0 10:30\r\n"
                                "   De: JEAN DUPONT              \r\n"
                                "    A: TOUS                     \r\n"
                                "Sujet: Essai                    \r\n"
                                "Conf.: GENERAL\r\n" +
                                kRule + "Bonjour\r\n\r\nA bient\xC3\xB4t.\r\n";

TEST_F(ExportFixture, PublicMessageInViewerModeIsWrittenByteForByte) {
    ui.answerSaveFile(path("MSG.TXT"));
    EXPECT_TRUE(ExportMessage(session, ui, ExportMode::Viewer, publicSource(), kNow));
    EXPECT_EQ(readWholeFile(path("MSG.TXT")), kPublicBlock);
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Message sauvegardé.")});
    EXPECT_EQ(ui.events().back().caption, QStringLiteral("Confirmation"));
    EXPECT_TRUE(ui.allAnswersUsed());
}

TEST_F(ExportFixture, PrivateMessageWithDosLettersAndNulPaddingInTheDosFont) {
    MessageHeader& h = session.store.CurrentHeader;
    h.status = "*";
    h.author = std::string("H\x82L\x8ANE MARTIN", 13) + std::string(12, '\0');
    h.recipient = padRight("JEAN DUPONT", 25);
    session.packet.control.BbsName = std::string(45, 'B');
    session.settings.fontNotTerminal = false;
    ExportSource s;
    s.subject = QStringLiteral("Re: Essai                ");
    s.conference = QStringLiteral("PRIV\u00c9");
    // What the viewer shows in the DOS font: box drawing and a line longer than 200.
    s.bodyLines = {QStringLiteral("      \u2500\u2500 Fin \u2500\u2500"),
                   QString(6, u' ') + QString(230, u'x')};
    ui.answerSaveFile(path("PRIVE.TXT"));
    ASSERT_TRUE(ExportMessage(session, ui, ExportMode::Viewer, s, kNow));
    const QByteArray expected = kTop + "  BBS: " + QByteArray(40, 'B') +
                                "\r\n"
                                " Date: 12-25-96 \xC3\xA0 10:30\r\n"
                                "   De: H\xC3\xA9L\xC3\xA8NE MARTIN            \r\n"
                                "    A: JEAN DUPONT              \r\n"
                                "Sujet: Re: Essai                \r\n"
                                "Conf.: PRIV\xC3\x89\r\n" +
                                kRule +
                                "\xE2\x94\x80\xE2\x94\x80 Fin \xE2\x94\x80\xE2\x94\x80\r\n" +
                                QByteArray(200, 'x') + "\r\n" + QByteArray(30, 'x') + "\r\n";
    EXPECT_EQ(readWholeFile(path("PRIVE.TXT")), expected);
}

TEST_F(ExportFixture, EditorModeWritesTheUserTheTimeOfWritingAndTheClosingLines) {
    session.store.CurrentHeader.author = padRight("JEAN DUPONT", 25);
    ExportSource s;
    s.bodyLines = {QStringLiteral("Salut Jean,"), QString(), QStringLiteral("   retrait gardé")};
    s.subject = QStringLiteral("Réponse");
    s.conference = QStringLiteral("GENERAL");
    s.closingLines = {QStringLiteral("---"), QStringLiteral(" * Tagline du jour")};
    ui.answerSaveFile(path("EDIT.TXT"));
    ASSERT_TRUE(ExportMessage(session, ui, ExportMode::Editor, s, kNow));
    const QByteArray expected = kTop +
                                "  BBS: LA BOITE A LETTRES\r\n"
                                " Date: 5 mars 2024 \xC3\xA0 09:07\r\n"
                                "   De: PIERRE LEGRAND\r\n"
                                "    A: JEAN DUPONT              \r\n"
                                "Sujet: R\xC3\xA9ponse\r\n"
                                "Conf.: GENERAL\r\n" +
                                kRule +
                                "Salut Jean,\r\n\r\n   retrait gard\xC3\xA9\r\n"
                                "---\r\n * Tagline du jour\r\n";
    EXPECT_EQ(readWholeFile(path("EDIT.TXT")), expected);
}

TEST_F(ExportFixture, ExportingTwiceAppendsAndKeepsWhatTheFileHeld) {
    const QString file = path("NOTES.TXT");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("mes notes\r\n");
    f.close();
    ui.answerSaveFile(file);
    ui.answerSaveFile(file);
    ASSERT_TRUE(ExportMessage(session, ui, ExportMode::Viewer, publicSource(), kNow));
    ASSERT_TRUE(ExportMessage(session, ui, ExportMode::Viewer, publicSource(), kNow));
    EXPECT_EQ(readWholeFile(file), "mes notes\r\n" + kPublicBlock + kPublicBlock);
    EXPECT_EQ(ui.messages().size(), 2);
}

TEST_F(ExportFixture, TheSaveDialogOffersTextFilesInTheProgramDirectory) {
    ui.answerSaveFile(std::nullopt);
    EXPECT_FALSE(ExportMessage(session, ui, ExportMode::Viewer, publicSource(), kNow));
    const FileDialogRequest& r = ui.lastFileRequest();
    EXPECT_EQ(r.title, QStringLiteral("Exportation d'un message"));
    EXPECT_EQ(r.directory, dir.path());
    EXPECT_EQ(r.fileName, QStringLiteral("*.TXT"));
    EXPECT_EQ(r.filters, QStringList{QStringLiteral("Fichiers texte (*.TXT)")});
    EXPECT_FALSE(r.confirmOverwrite);
    // Cancelling writes nothing and says nothing.
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{});
}

TEST_F(ExportFixture, AFailedWriteKeepsTheOldFileWholeAndConfirmsNothing) {
    const QString file = path("GARDE.TXT");
    ui.answerSaveFile(file);
    ASSERT_TRUE(ExportMessage(session, ui, ExportMode::Viewer, publicSource(), kNow));
    ui.clear();

    // A disk that fills up during the write: no file may grow past a few more bytes.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = old;
    tight.rlim_cur = rlim_t(kPublicBlock.size() + 10);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    ui.answerSaveFile(file);
    const bool written = ExportMessage(session, ui, ExportMode::Viewer, publicSource(), kNow);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ui.messages(), QStringList{"Erreur E/S 101 : impossible d'écrire le fichier \"" +
                                         file + "\" (disque plein)."});
    EXPECT_EQ(readWholeFile(file), kPublicBlock);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("GARDE.TXT")});
}

TEST_F(ExportFixture, AFileInAMissingDirectoryStopsWithTheRuntimeMessage) {
    ui.answerSaveFile(path("absent/MSG.TXT"));
    EXPECT_FALSE(ExportMessage(session, ui, ExportMode::Viewer, publicSource(), kNow));
    EXPECT_EQ(ui.messages(), QStringList{"Erreur E/S 3 : impossible d'écrire le fichier \"" +
                                         path("absent/MSG.TXT") + "\" (dossier introuvable)."});
}

TEST_F(ExportFixture, TheViewerButtonDropsTheIndentOfItsShownLines) {
    ui.answerSaveFile(path("VUE.TXT"));
    ASSERT_TRUE(exportViewerMessage(session, ui, {QStringLiteral("      Bonjour")},
                                    QStringLiteral("Essai"), QStringLiteral("GENERAL"),
                                    QFont(QStringLiteral("DejaVu Sans"), 9)));
    EXPECT_TRUE(readWholeFile(path("VUE.TXT")).endsWith(QByteArray(kRule + "Bonjour\r\n")));
}

TEST(ViewerSource, LongLinesWrapAtTheAreaWidthAndLoseNothing) {
    const QFont font(QStringLiteral("DejaVu Sans"), 10);
    QString words;
    for (int i = 0; i < 40; ++i)
        words += QStringLiteral("mot%1 ").arg(i);
    const QString shown = QString(6, u' ') + words.trimmed();
    const ExportSource s =
        viewerSource({shown, QStringLiteral("      Bonjour")}, {}, {}, font, kExportWrapWidth);
    ASSERT_GT(s.bodyLines.size(), 2);
    EXPECT_EQ(s.bodyLines.back(), QStringLiteral("      Bonjour"));
    const QFontMetricsF metrics(font);
    QString joined;
    for (qsizetype i = 0; i + 1 < s.bodyLines.size(); ++i) {
        EXPECT_LE(metrics.horizontalAdvance(s.bodyLines[i].trimmed()), kExportWrapWidth);
        joined += s.bodyLines[i];
    }
    EXPECT_EQ(joined, shown);

    // The export drops the indent of the first piece only: the pieces after it are text.
    Session session;
    const QStringList lines = exportLines(session, ExportMode::Viewer, s, kNow);
    QString written;
    for (qsizetype i = 8; i + 1 < lines.size(); ++i)
        written += lines[i];
    EXPECT_EQ(written, words.trimmed());
}

} // namespace

TEST_F(ExportFixture, LongNamesAndUtf8AreWrittenWhole) {
    MessageHeader& h = session.store.CurrentHeader;
    h.longFields.author = "Jean-Christophe de la Fontaine";
    ExportSource s = publicSource();
    s.subject = QStringLiteral("Un sujet bien plus long que vingt-cinq");
    QStringList lines =
        exportHeaderLines(session, ExportMode::Viewer, s.subject, s.conference, kNow);
    EXPECT_EQ(lines[3], QStringLiteral("   De: Jean-Christophe de la Fontaine"));
    EXPECT_EQ(lines[4], QStringLiteral("    A: TOUS                     "));
    EXPECT_EQ(lines[5], QStringLiteral("Sujet: Un sujet bien plus long que vingt-cinq"));

    h.longFields = {};
    h.longFields.utf8 = true;
    h.recipient = padRight("Ren\xC3\xA9", 25);
    lines = exportHeaderLines(session, ExportMode::Viewer, s.subject, s.conference, kNow);
    EXPECT_EQ(lines[4], QStringLiteral("    A: René") + QString(21, u' '));
}

} // namespace velk
