// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/Editor.h"
#include "core/SettingsFile.h"
#include "core/VelkError.h"
#include "library/LibraryFile.h"
#include "packet/MessageStore.h"
#include "reply/EditorText.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ScriptedUiServices.h"

#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace velk {

namespace {

const QDateTime kNow(QDate(1996, 2, 3), QTime(9, 7));

QByteArray bytes(const std::string& s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

class EditorTest : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session session;
    ScriptedUiServices ui;
    WritingState w;
    QRandomGenerator random{7};
    EditorDocument doc;

    void SetUp() override {
        dirs.configure(session);
        session.packet.control.BbsId = "VELKBBS";
        session.packet.control.UserName = "PIERRE MARTIN";
        session.packet.control.Conferences = {{0, "Principale"}, {12, "Programmation"}};
    }
    QString msgPath() const { return dirs.dir(QStringLiteral("WORK")) + "/VELKBBS.MSG"; }

    // Message `n` (0-based) of the reply file, header and text.
    MessageStoreState readBack(int n) {
        MessageStoreState store;
        std::int32_t record = 1;
        for (int i = 0;; ++i) {
            ReadReplyHeader(msgPath(), record, store);
            if (i == n)
                break;
            record += store.ReplyBlockCount;
        }
        ReadReplyText(msgPath(), record + 1, store.CurrentHeader.blockCount, store);
        return store;
    }
    void answered(const std::string& text) {
        MessageHeader& h = w.header;
        h.status = " ";
        h.number = "1234   ";
        h.date = "01-15-96";
        h.time = "20:30";
        h.recipient = padRight("PIERRE MARTIN", 25);
        h.author = padRight("JEAN-PIERRE DUPONT", 25);
        h.subject = padRight("Compilateurs", 25);
        h.conference = 12;
        w.text = text;
    }
};

TEST(EditorText, WrapsAtTheLineWidth) {
    const std::string words60 = std::string(55, 'a') + " bbbbbbbbbb";
    const std::string word90(90, 'x');
    struct Case {
        int maxCar;
        std::string paragraph;
        EditorLines lines;
    };
    const Case cases[] = {
        {60, words60, {std::string(55, 'a'), "bbbbbbbbbb"}},
        {60, std::string(60, 'a'), {std::string(60, 'a')}},
        {60, word90, {std::string(60, 'x'), std::string(30, 'x')}},
        // A blank just past the edge still breaks there.
        {78, std::string(78, 'a') + " fin", {std::string(78, 'a'), "fin"}},
        {78,
         std::string(70, 'a') + " " + std::string(20, 'b'),
         {std::string(70, 'a'), std::string(20, 'b')}},
        {80, std::string(80, 'c'), {std::string(80, 'c')}},
        {80, "un deux " + std::string(75, 'd'), {"un deux", std::string(75, 'd')}},
        {80, "", {""}},
    };
    for (const Case& c : cases) {
        const EditorLines lines = WrapLines({c.paragraph}, c.maxCar);
        EXPECT_EQ(lines, c.lines) << c.maxCar << " " << c.paragraph;
        for (const std::string& l : lines)
            EXPECT_LE(int(l.size()), c.maxCar);
    }
}

TEST(EditorText, PrepareLineExpandsTabsAndDecodesOnceAsked) {
    PrepareLineSwitches plain;
    EXPECT_EQ(PrepareLine("\tx", plain), std::string(8, ' ') + "x");
    EXPECT_EQ(PrepareLine("abcdefg\tx", plain), "abcdefg x");
    EXPECT_EQ(PrepareLine("caf=E9 noir", plain), "caf=E9 noir");

    PrepareLineSwitches qp;
    PrepareLine("Content-Type: text/plain; charset=iso-8859-1", qp);
    EXPECT_EQ(PrepareLine("caf=E9 noir", qp), "caf\x82 noir");
    EXPECT_EQ(PrepareLine("caf=E9", qp), "caf=E9");
    EXPECT_EQ(PrepareLine("=FB=FC=3D!", qp), "\x96\x81=3D!");

    PrepareLineSwitches news;
    EXPECT_EQ(PrepareLine("Organization: x", news), "Organization: x");
    EXPECT_EQ(PrepareLine("caf\xE9", news), "caf\xE9");
    PrepareLine("Newsgroups: fr.comp", news);
    EXPECT_EQ(PrepareLine("caf\xE9", news), "caf\xE9");
    PrepareLine("Organization: x", news);
    EXPECT_EQ(PrepareLine("caf\xE9", news), "caf\x82");
}

TEST(EditorText, QuotationLines) {
    EXPECT_TRUE(IsQuotationLine("JD> Bonjour"));
    EXPECT_TRUE(IsQuotationLine(" JD> Bonjour"));
    EXPECT_TRUE(IsQuotationLine("JPD> Bonjour"));
    EXPECT_FALSE(IsQuotationLine("> Bonjour"));
    EXPECT_FALSE(IsQuotationLine("Jd> Bonjour"));
}

TEST_F(EditorTest, AnAnswerQuotesWithTheAuthorsInitials) {
    const std::string l70(70, 'a'), l71(71, 'b');
    answered("Bonjour\n \n\n" + l71 + "\n" + l70 + "\n\tx\n");
    AnswerMsg(session, w, kNow);
    REPORTED_TO(ui, DisplayMsg(session, w, said, doc, 1, {}, kNow, random));

    EXPECT_TRUE(w.flags.AnswerFlag);
    EXPECT_EQ(doc.recipient, "JEAN-PIERRE DUPONT");
    EXPECT_EQ(doc.subject, "Compilateurs");
    EXPECT_EQ(doc.author, "PIERRE MARTIN");
    EXPECT_EQ(doc.conference, 1);
    EXPECT_EQ(doc.conferenceList[1], "12    Programmation");
    EXPECT_EQ(doc.dateLabel, QStringLiteral("3 février 1996"));
    const EditorLines expected = {
        "JPD> Bonjour",   " ", "", "JPD> " + std::string(70, 'b'), "JPD> " + l70,
        "JPD>         x", ""};
    EXPECT_EQ(doc.lines, expected);
    ASSERT_EQ(doc.tagBox.size(), 2u); // a built-in tagline picked at random
    EXPECT_EQ(w.header.date, "02-03-96");
    EXPECT_EQ(trimRight(w.header.author), "PIERRE MARTIN");

    ASSERT_TRUE(SendEditorMessage(session, w, ui, doc, kNow));
    const MessageStoreState stored = readBack(0);
    EXPECT_EQ(stored.CurrentHeader.reference, "1234    ");
    EXPECT_EQ(stored.CurrentHeader.recipient, padRight("JEAN-PIERRE DUPONT", 25));
    EXPECT_EQ(stored.CurrentHeader.subject, padRight("Compilateurs", 25));
    EXPECT_EQ(stored.CurrentHeader.conference, 12);
    EXPECT_EQ(stored.CurrentHeader.status, " ");
}

TEST_F(EditorTest, AnAnswerToALongSubjectCarriesItWhereTheBoardReadsQwke) {
    const std::string author = "JEAN-PIERRE DUPONT DE LA FONTAINE";         // 33
    const std::string subject = "Compilateurs et interpreteurs du langage"; // 40
    // What the file holds for one answer, the header read with or without its long fields.
    const auto answer = [&](bool longFields, bool qwke) {
        QFile::remove(msgPath());
        session.packet.LogicalCounter = 1;
        session.packet.control.readsQwke = qwke;
        w = WritingState{};
        answered("Bonjour\n");
        MessageHeader& h = w.header;
        h.author = padRight(author.substr(0, 25), 25);
        h.subject = padRight(subject.substr(0, 25), 25);
        h.longFields = {};
        if (longFields) {
            h.longFields.author = author;
            h.longFields.subject = subject;
        }
        AnswerMsg(session, w, kNow);
        EditorDocument d;
        QRandomGenerator r(7);
        REPORTED_TO(ui, DisplayMsg(session, w, said, d, 1, {}, kNow, r));
        EXPECT_TRUE(SendEditorMessage(session, w, ui, d, kNow));
        return std::make_pair(d, readWholeFile(msgPath()));
    };
    // A board without QWKE gets exactly what it got before the long fields were read.
    const auto [plainDoc, plain] = answer(false, false);
    const auto [cutDoc, cut] = answer(true, false);
    EXPECT_EQ(cutDoc.recipient, "JEAN-PIERRE DUPONT DE LA");
    EXPECT_EQ(cutDoc.subject, "Compilateurs et interpret");
    EXPECT_EQ(cut, plain);
    EXPECT_EQ(cutDoc.lines, plainDoc.lines);

    const auto [qwkeDoc, qwke] = answer(true, true);
    EXPECT_EQ(qwkeDoc.recipient, author);
    EXPECT_EQ(qwkeDoc.subject, subject);
    const std::string kludges = "To: " + author + "\xE3Subject: " + subject + "\xE3\xE3";
    EXPECT_EQ(qwke.mid(256, qsizetype(kludges.size())), bytes(kludges));
    const MessageStoreState stored = readBack(0);
    EXPECT_EQ(stored.CurrentHeader.recipient, author.substr(0, 25));
    EXPECT_EQ(stored.CurrentHeader.subject, subject.substr(0, 25));
    // A board without long fields in the answer gets no kludge even when it reads them.
    const auto [shortDoc, shortFile] = answer(false, true);
    EXPECT_EQ(shortFile, plain);
}

TEST_F(EditorTest, AUtf8MessageIsAnsweredInTheDosSet) {
    answered("Caf\xC3\xA9 cr\xC3\xA8me \xE2\x82\xAC\n");
    MessageHeader& h = w.header;
    h.longFields.utf8 = true;
    h.author = padRight("J\xC3\xA9r\xC3\xB4me", 25);
    h.subject = padRight("No\xC3\xABl", 25);
    AnswerMsg(session, w, kNow);
    REPORTED_TO(ui, DisplayMsg(session, w, said, doc, 1, {}, kNow, random));
    EXPECT_EQ(doc.recipient, "J\x82r\x93me");
    EXPECT_EQ(doc.subject, "No\x89l");
    ASSERT_FALSE(doc.lines.empty());
    EXPECT_TRUE(doc.lines[0].ends_with("> Caf\x82 cr\x8Ame E")) << doc.lines[0];
}

TEST_F(EditorTest, SendingWritesTheExactReply) {
    doc.conferenceList = ConferenceList(session.packet.control);
    doc.conference = 0;
    doc.isPrivate = true;
    doc.recipient = "JEAN DUPONT";
    doc.author = "PIERRE MARTIN";
    doc.subject = "Essai";
    doc.lines = {"Bonjour Jean,", "", "caf\x82", " ", ""};
    doc.tagBox = {"--- sig", "tag"};
    ASSERT_TRUE(SendEditorMessage(session, w, ui, doc, kNow));

    const QByteArray file = readWholeFile(msgPath());
    ASSERT_EQ(file.size(), 3 * 128);
    const std::string body = "Bonjour Jean,\xE3\xE3"
                             "caf\x82\xE3 \xE3--- sig\xE3tag\xE3";
    EXPECT_EQ(file.mid(256), bytes(body + std::string(128 - body.size(), ' ')));
    const MessageStoreState stored = readBack(0);
    const MessageHeader& h = stored.CurrentHeader;
    EXPECT_EQ(h.status, "*");
    EXPECT_EQ(h.date, "02-03-96");
    EXPECT_EQ(h.time, "09:07");
    EXPECT_EQ(h.recipient, padRight("JEAN DUPONT", 25));
    EXPECT_EQ(h.author, padRight("PIERRE MARTIN", 25));
    EXPECT_EQ(h.reference, padRight("0", 8));
    EXPECT_EQ(h.blockCount, padRight("2", 6));
    EXPECT_EQ(h.conference, 0);
    EXPECT_EQ(stored.MessageText.substr(0, 20), std::string("Bonjour Jean,\n\ncaf\x82\n"));
    // The recipient is counted among the correspondents.
    EXPECT_TRUE(QFile::exists(LibraryPath(session.settings.velkPath, LibraryKind::Correspondents)));
}

TEST_F(EditorTest, AFailedWriteKeepsTheReplyFileAndSaysSo) {
    doc.conferenceList = ConferenceList(session.packet.control);
    doc.recipient = "ALL";
    doc.author = "PIERRE MARTIN";
    doc.lines = {"premier"};
    ASSERT_TRUE(SendEditorMessage(session, w, ui, doc, kNow));
    const QByteArray before = readWholeFile(msgPath());
    ui.clear();
    doc.lines = {std::string(300, 'x')};
    bool written = true;
    {
        const FileSizeLimit full(rlim_t(before.size()) + 60);
        written = SendEditorMessage(session, w, ui, doc, kNow);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(readWholeFile(msgPath()), before);
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.messages()[0], "Problème lors de l'écriture de l'entête du message\nFichier \"" +
                                    QFileInfo(msgPath()).absoluteFilePath() + "\" : disque plein");
}

TEST_F(EditorTest, NewMessageAsksItsRecipient) {
    doc.conference = 1; // the conference the browser is on
    std::string asked;
    const auto cancel = [&](const std::string& preset) {
        asked = preset;
        return std::string();
    };
    EXPECT_FALSE(REPORTED_TO(ui, NewMsg(session, w, said, doc, 0, cancel, kNow, random)));
    EXPECT_EQ(asked, "ALL");

    w.flags.AnswerFlag = true;
    const auto choose = [](const std::string&) { return std::string("JEAN DUPONT  "); };
    ASSERT_TRUE(REPORTED_TO(ui, NewMsg(session, w, said, doc, 0, choose, kNow, random)));
    EXPECT_FALSE(w.flags.AnswerFlag);
    EXPECT_EQ(doc.recipient, "JEAN DUPONT");
    EXPECT_EQ(doc.subject, "");
    EXPECT_EQ(doc.conference, 1);
    EXPECT_FALSE(doc.isPrivate);
    EXPECT_EQ(doc.lines, EditorLines{""});
    EXPECT_EQ(w.header.date, "02-03-96");
    EXPECT_EQ(w.header.time, "09:07");
    EXPECT_EQ(w.header.recipient, padRight("JEAN DUPONT", 25));
}

TEST_F(EditorTest, AForwardQuotesTheShownAuthorInsideItsBlock) {
    answered("Texte\n");
    session.libraries.HasDefaultHeader = true;
    w.flags.ForwardFlag = true;
    const auto choose = [](const std::string&) { return std::string("MARC DURAND"); };
    ASSERT_TRUE(REPORTED_TO(ui, ForwardMsg(session, w, said, doc, choose,
                                           {"JEAN-PIERRE DUPONT", "ALL"}, kNow, random)));
    EXPECT_EQ(doc.recipient, "MARC DURAND");
    EXPECT_FALSE(w.flags.AnswerFlag);
    const std::string block = "Jean-Pierre Dupont \x85 All";
    const auto at = std::find(doc.lines.begin(), doc.lines.end(), block);
    ASSERT_NE(at, doc.lines.end());
    EXPECT_EQ(*(at + 1), std::string(59, '-'));
    EXPECT_EQ(*(at + 2), "JPD> Texte");
}

TEST_F(EditorTest, AStoredReplyComesBackWithItsTaglineBox) {
    answered("Ligne\n\tdeux\n--- sig\ntag\n");
    w.header.status = "*";
    UpDateMsg(w);
    DisplayREPMsg(session, w, doc, kNow.date());
    EXPECT_TRUE(doc.isPrivate);
    EXPECT_EQ(doc.author, "JEAN-PIERRE DUPONT");
    EXPECT_EQ(doc.lines, (EditorLines{"Ligne", std::string(8, ' ') + "deux"}));
    EXPECT_EQ(doc.tagBox, (EditorLines{"--- sig", "tag"}));
}

TEST_F(EditorTest, TwoCarbonCopiesThenTheMainMessage) {
    doc.conferenceList = ConferenceList(session.packet.control);
    doc.conference = 1;
    doc.recipient = "JEAN DUPONT";
    doc.author = "PIERRE MARTIN";
    doc.subject = "Copies";
    doc.lines = {"Texte", "", " ", "", "fin"};
    doc.tagBox = {"--- sig", "tag"};
    session.libraries.TaglineList = {{1, false, false, false, "Une tagline\r\n"}};
    ASSERT_TRUE(shown(CarbonCopy(session, w, doc, "MARC DURAND", kNow, random), ui));
    EXPECT_EQ(doc.lines, (EditorLines{"Texte", "fin"}));
    ASSERT_TRUE(shown(CarbonCopy(session, w, doc, "ANNE", kNow, random), ui));
    ASSERT_TRUE(SendEditorMessage(session, w, ui, doc, kNow));

    const MessageStoreState first = readBack(0);
    EXPECT_EQ(first.CurrentHeader.status, "*");
    EXPECT_EQ(first.CurrentHeader.recipient, padRight("MARC DURAND", 25));
    EXPECT_EQ(first.CurrentHeader.subject, padRight("Copies", 25));
    EXPECT_EQ(first.CurrentHeader.conference, 12);
    const std::string sig = SignatureLine(programSignature(session.settings));
    const EditorLines copy = MessageTextLines(first.MessageText);
    const EditorLines expected = {" ",
                                  " Copie d'un message transmis \x85 Jean Dupont",
                                  std::string(59, '-'),
                                  " ",
                                  "Texte",
                                  "fin",
                                  "--- sig",
                                  "tag",
                                  std::string(59, '-'),
                                  " ",
                                  sig,
                                  "Une tagline"};
    ASSERT_GE(copy.size(), expected.size());
    EXPECT_EQ(EditorLines(copy.begin(), copy.begin() + std::ptrdiff_t(expected.size())), expected);
    EXPECT_EQ(readBack(1).CurrentHeader.recipient, padRight("ANNE", 25));
    EXPECT_EQ(readBack(2).CurrentHeader.recipient, padRight("JEAN DUPONT", 25));
    EXPECT_EQ(readBack(2).CurrentHeader.status, " ");
}

TEST_F(EditorTest, CancellingAsksToSave) {
    struct Case {
        Answer answer;
        CancelOutcome outcome;
        bool cancelFlag;
    };
    for (const Case c : {Case{Answer::Yes, CancelOutcome::Save, false},
                         Case{Answer::No, CancelOutcome::Discard, true},
                         Case{Answer::Cancel, CancelOutcome::Stay, false}}) {
        w.flags.CancelFlag = !c.cancelFlag;
        ui.answerYesNoCancel(c.answer);
        EXPECT_EQ(AskCancel(w, ui), c.outcome);
        EXPECT_EQ(w.flags.CancelFlag, c.cancelFlag);
    }
    EXPECT_EQ(ui.texts().back(), QStringLiteral("Enregistrer ce message ?"));
}

TEST_F(EditorTest, ImportReadsTheUsersFile) {
    const QString path = dirs.dir(QStringLiteral("VELK")) + "/NOTE.TXT";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("café\r\n\r\n").toUtf8() + QByteArray(80, 'z') + "\n");
    f.close();
    session.settings.maxCar = 78;
    ui.answerOpenFile(path);
    ui.answerYesNo(false);
    const auto lines = ImportBtnClick(session, ui);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (EditorLines{"caf\x82", " ", std::string(77, 'z')}));
    EXPECT_EQ(ui.lastFileRequest().title, QStringLiteral("Importation d'un fichier"));
    EXPECT_EQ(ui.texts().back(),
              QStringLiteral("Ce fichier contient-il des caractères accentués MS-DOS ?"));

    // DOS accents: the bytes as they are.
    EXPECT_EQ(ReadImportedText(path, true, 78)[0], "caf\xC3\xA9");
    ui.answerOpenFile(std::nullopt);
    EXPECT_FALSE(ImportBtnClick(session, ui));
    EXPECT_THROW(ReadImportedText(path + "X", false, 78), VelkError);
}

TEST_F(EditorTest, ExportAppendsTheMessageInEditorForm) {
    session.packet.control.BbsName = "Le BBS";
    doc.conferenceList = ConferenceList(session.packet.control);
    doc.recipient = "JEAN DUPONT";
    doc.subject = "Sujet";
    doc.lines = {"Texte"};
    doc.tagBox = {"--- sig", "tag"};
    const QString path = dirs.dir(QStringLiteral("VELK")) + "/EXPORT.TXT";
    ui.answerSaveFile(path);
    ASSERT_TRUE(ExportBtnClick(session, ui, doc, kNow));
    const std::string expected = std::string(79, '=') +
                                 "\r\n  BBS: Le BBS\r\n Date: 3 f\x82vrier 1996 \x85 09:07\r\n   "
                                 "De: PIERRE MARTIN\r\n    A: " +
                                 padRight("JEAN DUPONT", 25) +
                                 "\r\nSujet: Sujet\r\nConf.: 0     Principale\r\n" +
                                 std::string(80, '-') + "\r\nTexte\r\n--- sig\r\ntag\r\n";
    EXPECT_EQ(readWholeFile(path), bytes(expected));
    EXPECT_EQ(ui.messages().back(), QStringLiteral("Message sauvegardé."));
    ui.answerSaveFile(path);
    ASSERT_TRUE(ExportBtnClick(session, ui, doc, kNow));
    EXPECT_EQ(readWholeFile(path), bytes(expected + expected));
}

} // namespace

} // namespace velk
