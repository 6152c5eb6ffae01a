// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/HeaderExtensions.h"

#include "packet/ControlFile.h"
#include "packet/IndexFiles.h"
#include "packet/MessageStore.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/PacketFixture.h"
#include "tests/support/ScriptedUiServices.h"

#include <QDir>

#include <gtest/gtest.h>

namespace velk {

namespace {

MessageHeader header(const std::string& to, const std::string& from, const std::string& subject) {
    MessageHeader h;
    h.recipient = padRight(to.substr(0, 25), 25);
    h.author = padRight(from.substr(0, 25), 25);
    h.subject = padRight(subject.substr(0, 25), 25);
    return h;
}

const std::string kLongTo = "JEAN-CHRISTOPHE DE LA FONTAINE";             // 30
const std::string kLongSubject = "Re: une question sur les longs sujets"; // 37

} // namespace

TEST(HeadersFile, SectionsByOffset) {
    const std::string text = "[80]\r\n"
                             "To: Jean-Christophe de la Fontaine\r\n"
                             "Sender:  Marie Curie-Sklodowska de Varsovie\r\n"
                             "From: marie@example.org\r\n"
                             "Subject: " +
                             kLongSubject +
                             "\r\n"
                             "Utf8 = true\r\n"
                             "WhenWritten: 20190810042306-0700 1a4\r\n"
                             "\r\n"
                             "[ 1A80 ]\n"
                             "subject=Sans espace\n"
                             "X-FTN-CHRS: UTF-8 4\n"
                             "[pas un nombre]\n"
                             "To: ignoré\n"
                             "[0x100]\n"
                             "utf8: false\n"
                             "; un commentaire\n"
                             "ligne sans séparateur\n";
    const HeadersFile f = parseHeadersFile(text);
    ASSERT_EQ(f.sections.size(), 3u);
    const HeaderSection& a = f.sections.at(0x80);
    EXPECT_EQ(a.to, "Jean-Christophe de la Fontaine");
    EXPECT_EQ(a.sender, "Marie Curie-Sklodowska de Varsovie");
    EXPECT_EQ(a.from, "marie@example.org");
    EXPECT_EQ(a.subject, kLongSubject);
    EXPECT_EQ(a.whenWritten, "20190810042306-0700 1a4"); // read after the character set
    EXPECT_EQ(a.utf8, std::optional<bool>(true));
    const HeaderSection& b = f.sections.at(0x1a80);
    EXPECT_EQ(b.subject, "Sans espace");
    EXPECT_EQ(b.utf8, std::optional<bool>(true));
    EXPECT_EQ(f.sections.at(0x100).utf8, std::optional<bool>(false));
    EXPECT_TRUE(parseHeadersFile("").sections.empty());
    // A hostile value is cut, never kept whole.
    EXPECT_EQ(parseHeadersFile("[0]\nTo: " + std::string(100000, 'x')).sections.at(0).to.size(),
              kLongFieldWidth);
}

TEST(HeadersFile, SectionFillsTheLongFields) {
    MessageHeader h = header("JEAN", "MARIE", "Essai");
    HeaderSection s;
    s.from = "marie@example.org";
    s.subject = kLongSubject;
    s.utf8 = true;
    h.author = padRight("marie@example.org", 25);
    h.subject = padRight(kLongSubject.substr(0, 25), 25);
    applyHeaderSection(h, s);
    EXPECT_EQ(h.longFields.author, "marie@example.org"); // no Sender: From
    EXPECT_EQ(h.longFields.recipient, "");               // not given: the header's
    EXPECT_EQ(fullRecipient(h), "JEAN");
    EXPECT_EQ(fullSubject(h), kLongSubject);
    EXPECT_TRUE(h.longFields.utf8);
    s.sender = "Marie Curie";
    h.author = padRight("MARIE CURIE", 25);
    applyHeaderSection(h, s);
    EXPECT_EQ(fullAuthor(h), "Marie Curie");
    h = header("ALL", "jd", "Essai"); // a mail header copied below the board's repeats keys
    applyHeaderSection(h, parseHeadersFile("[0]\nSender: jd\nSender: x@a.org\n").sections[0]);
    EXPECT_EQ(fullAuthor(h), "jd");
}

TEST(KludgeLines, TakenFromTheTopOfTheText) {
    struct Case {
        const char* name;
        std::string text;
        std::string to, from, subject; // long fields expected
        std::string after;             // the text left
        bool utf8 = false;
    };
    const std::string longFrom = "MARIE CURIE-SKLODOWSKA DE VARSOVIE";
    const Case cases[] = {
        {"both, blank line after", "To: " + kLongTo + "\nSubject: " + kLongSubject + "\n\nBonjour",
         kLongTo, "", kLongSubject, "Bonjour"},
        {"no blank line", "Subject: " + kLongSubject + "\nBonjour\n", "", "", kLongSubject,
         "Bonjour\n"},
        {"carriage returns", "To: " + kLongTo + "\rFrom: " + longFrom + "\r\n\r\nTexte", kLongTo,
         longFrom, "", "Texte"},
        {"letter case of the key and value", "to: jean-christophe de la fontaine\n\nx",
         "jean-christophe de la fontaine", "", "", "x"},
        {"other kludges stay", "@VIA: VERT\nTo: " + kLongTo + "\n@TZ: 1a4\n\nTexte", kLongTo, "",
         "", "@VIA: VERT\n@TZ: 1a4\n\nTexte"},
        {"a value that is not the field's", "To: quelqu'un d'autre de bien plus long\n\nTexte", "",
         "", "", "To: quelqu'un d'autre de bien plus long\n\nTexte"},
        {"a short value, which boards never send", "To: JEAN\n\nx", "", "", "", "To: JEAN\n\nx"},
        {"not at the top", "Bonjour\nTo: " + kLongTo + "\n", "", "", "",
         "Bonjour\nTo: " + kLongTo + "\n"},
        {"the same key twice", "To: " + kLongTo + "\nTo: " + kLongTo + "\n\nx", kLongTo, "", "",
         "To: " + kLongTo + "\n\nx"},
        {"charset kludge",
         "\x01"
         "CHRS: UTF-8 4\nTo: " +
             kLongTo + "\n\nx",
         kLongTo, "", "",
         "\x01"
         "CHRS: UTF-8 4\n\nx",
         true},
        {"nothing", "Bonjour", "", "", "", "Bonjour"},
        {"kludges alone", "To: " + kLongTo, kLongTo, "", "", ""},
    };
    for (const Case& c : cases) {
        MessageHeader h = header(kLongTo, longFrom, kLongSubject);
        std::string text = c.text;
        applyKludgeLines(h, text);
        EXPECT_EQ(h.longFields.recipient, c.to) << c.name;
        EXPECT_EQ(h.longFields.author, c.from) << c.name;
        EXPECT_EQ(h.longFields.subject, c.subject) << c.name;
        EXPECT_EQ(text, c.after) << c.name;
        EXPECT_EQ(h.longFields.utf8, c.utf8) << c.name;
    }
    // A line of the text that happens to begin with the recipient.
    MessageHeader all = header("ALL", "X", "Y");
    std::string line = "To: ALL my friends who read this board\n\nx";
    applyKludgeLines(all, line);
    EXPECT_EQ(line, "To: ALL my friends who read this board\n\nx");
    EXPECT_EQ(all.longFields.recipient, "");
    // A header in another character set than its kludge: compared up to the first letter
    // that is no ASCII.
    MessageHeader dos = header("JOS\x90 MAR\x8D"
                               "A GONZ\x8ALEZ DE LA VEGA",
                               "", "");
    std::string text = "To: JOS\xC3\x89 MAR\xC3\x8D"
                       "A GONZ\xC3\x81LEZ DE LA VEGA Y MORA\n\nx";
    applyKludgeLines(dos, text);
    EXPECT_EQ(text, "x");
}

TEST(KludgeLines, WrittenForLongFieldsOnly) {
    EXPECT_TRUE(replyKludgeLines("ALL                       ", "MOI", "Court").empty());
    EXPECT_EQ(replyKludgeLines(kLongTo + "   ", "MOI", kLongSubject),
              (std::vector<std::string>{"To: " + kLongTo, "Subject: " + kLongSubject, ""}));
    EXPECT_EQ(replyKludgeLines(std::string(25, 'A'), std::string(26, 'B'), ""),
              (std::vector<std::string>{"From: " + std::string(26, 'B'), ""}));
    // What a reply writes, a reader takes back.
    MessageHeader h = header(kLongTo, "MOI", kLongSubject);
    std::string text;
    for (const std::string& line : replyKludgeLines(kLongTo, "MOI", kLongSubject))
        text += line + "\n";
    text += "Corps";
    applyKludgeLines(h, text);
    EXPECT_EQ(text, "Corps");
    EXPECT_EQ(fullRecipient(h), kLongTo);
    EXPECT_EQ(fullSubject(h), kLongSubject);
}

namespace {

class PacketMessagesTest : public PacketFixture {
protected:
    // Reads the i-th message added to the builder.
    void read(std::size_t i) {
        BlockFile messages(messagesFilePath(s.settings.workPath));
        REPORTED_TO(ui, ReadPacketMessage(s, messages, b.headerBlockIndex(i), said));
    }
    const MessageHeader& h() const { return s.store.CurrentHeader; }
};

} // namespace

TEST_F(PacketMessagesTest, KludgesAndHeadersDatGiveTheFullFields) {
    const std::string longFrom = "Marie Curie-Sklodowska de Varsovie";
    b.conference(0, "Principal");
    PacketMessage& kludged = b.add(0, kLongSubject, "Bonjour\n");
    kludged.to = kLongTo;
    kludged.qwkeKludges = true;
    PacketMessage& listed = b.add(0, kLongSubject, "Salut\n");
    listed.from = longFrom;
    listed.headersDat = true;
    // UTF-8: "Éric" and "Noël €" in the section and the text.
    PacketMessage& utf = b.add(0, "No\xC3\xABl \xE2\x82\xAC", "Caf\xC3\xA9 cr\xC3\xA8me\n");
    utf.from = "\xC3\x89ric";
    utf.headersDat = true;
    utf.utf8 = true;
    b.add(0, "Court", "Rien de long\n");
    // A section for an offset where no message starts (the first is at 0x80), and one past
    // the file.
    b.headersDatText("[81]\r\nTo: Personne\r\n[fffffff]\r\nTo: Personne\r\n");
    unpack();

    read(0);
    EXPECT_EQ(h().recipient, kLongTo.substr(0, 25));
    EXPECT_EQ(fullRecipient(h()), kLongTo);
    EXPECT_EQ(fullSubject(h()), kLongSubject);
    EXPECT_EQ(fullAuthor(h()), "MARIE CURIE");
    EXPECT_EQ(s.store.MessageText, "Bonjour");

    read(1);
    EXPECT_EQ(fullAuthor(h()), longFrom);
    EXPECT_EQ(fullSubject(h()), kLongSubject);
    EXPECT_EQ(s.store.MessageText, "Salut");
    EXPECT_FALSE(h().longFields.utf8);

    read(2);
    EXPECT_TRUE(h().longFields.utf8);
    EXPECT_EQ(messageCharacters(h(), fullAuthor(h())), QString::fromUtf8("Éric"));
    EXPECT_EQ(messageCharacters(h(), fullSubject(h())), QString::fromUtf8("Noël €"));
    EXPECT_EQ(messageCharacters(h(), s.store.MessageText), QString::fromUtf8("Café crème"));
    // Quoted or answered, the text takes the DOS set, € its best fit.
    EXPECT_EQ(messageBytesInDos(h(), s.store.MessageText), "Caf\x82 cr\x8Ame");
    EXPECT_EQ(messageBytesInDos(h(), fullSubject(h())), "No\x89l E");

    read(3);
    EXPECT_EQ(h().longFields.recipient, "");
    EXPECT_EQ(fullSubject(h()), "Court");
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST_F(PacketMessagesTest, BoardsThatReadQwke) {
    struct Case {
        const char* name;
        std::optional<std::string> door; // DOOR.ID text; nullopt: none
        bool toReader;
        bool qwke;
    };
    const Case cases[] = {
        {"plain", "DOOR = X\r\nVERSION = 1\r\nCONTROLTYPE = ADD\r\n", false, false},
        {"TOREADER.EXT", std::nullopt, true, true},
        {"CONTROLTYPE", "DOOR = X\r\nVERSION = 1\r\ncontroltype = qwke\r\n", false, true},
        {"QWKE line", "DOOR = X\r\nVERSION = 1\r\nQWKE = YES\r\n", false, true},
    };
    for (const Case& c : cases) {
        PacketBuilder p;
        p.conference(0, "Principal");
        p.door.reset();
        if (c.door)
            p.file("DOOR.ID", *c.door);
        if (c.toReader)
            p.file("toreader.ext", "AREA 0 a\r\n");
        for (const QString& name : QDir(s.settings.workPath).entryList(QDir::Files))
            QFile::remove(s.settings.workPath + "/" + name);
        p.writeTo(s.settings.workPath);
        ASSERT_TRUE(shown(InitQWK(s), ui));
        EXPECT_EQ(s.packet.control.readsQwke, c.qwke) << c.name;
    }
}

} // namespace velk
