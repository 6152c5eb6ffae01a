// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/PacketExport.h"
#include "packet/MessageHeader.h"
#include "tests/support/QuotedPrintable.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace velk {

namespace {

MessageHeader header(bool utf8 = false) {
    MessageHeader h;
    h.status = " ";
    h.number = "12     ";
    h.date = "02-05-96";
    h.time = "21:30";
    h.author = "ANNE";
    h.recipient = "ALL";
    h.subject = "Essai";
    h.reference = "0";
    h.longFields.utf8 = utf8;
    return h;
}

ExportedMessage exported(const std::string& text, bool utf8 = false) {
    return exportedMessage(header(utf8), text, 5, QStringLiteral("Technique"), 1,
                           QDate(2026, 1, 1));
}

QByteArray mboxBody(const QByteArray& mbox) {
    return mbox.mid(mbox.indexOf("\n\n") + 2);
}

} // namespace

TEST(PacketExportTest, BodiesBecomeUtf8LinesEndedByLfWithFromLinesQuoted) {
    const struct {
        std::string text;
        bool utf8;
        QByteArray body;
    } cases[] = {
        {"", false, "\n"},
        {"sans fin", false, "sans fin\n\n"},
        {"dos\r\nmac\runix\n", false, "dos\nmac\nunix\n\n"},
        {"caf\x82 \x85 \xE3 z", false, "caf\xC3\xA9 \xC3\xA0 \xCF\x80 z\n\n"},
        {"caf\xC3\xA9 \xE2\x82\xAC", true, "caf\xC3\xA9 \xE2\x82\xAC\n\n"},
        {"bad \xFF byte", true, "bad \xC2\xA0 byte\n\n"},
        {"From a\n>From b\n>>From c\n From d\nFrom\n", false,
         ">From a\n>>From b\n>>>From c\n From d\nFrom\n\n"},
        {"x\nFrom \n", false, "x\n>From \n\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        QByteArray out;
        appendMboxMessage(out, exported(c.text, c.utf8), "b.qwk");
        EXPECT_EQ(mboxBody(out), c.body);
    }
}

TEST(PacketExportTest, HeaderTextsAreAsciiOrFoldedEncodedWords) {
    const struct {
        QString value;
        QByteArray encoded;
    } cases[] = {
        {"Essai simple", "Essai simple"},
        {"Tab\there\r\n", "Tab here  "},
        {"=?faux?=", "=?UTF-8?B?PT9mYXV4Pz0=?="},
        {"Caf\u00E9", "=?UTF-8?B?Q2Fmw6k=?="},
    };
    for (const auto& c : cases)
        EXPECT_EQ(encodedHeaderText(c.value, 9), c.encoded) << c.value.toStdString();

    // A long value of two-byte and three-byte characters: short lines, whole characters.
    const QString value = QString(100, QChar(u'\u00E9')) + QString(60, QChar(u'\u20AC'));
    const QByteArray folded = "Subject: " + encodedHeaderText(value, 9);
    QByteArray decoded;
    for (const QByteArray& line : folded.split('\n')) {
        EXPECT_LE(line.size(), 76) << line.toStdString();
        const QByteArray word = line.mid(line.indexOf("=?"));
        ASSERT_TRUE(word.startsWith("=?UTF-8?B?") && word.endsWith("?="));
        const QByteArray bytes = QByteArray::fromBase64(word.mid(10, word.size() - 12));
        EXPECT_TRUE(QString::fromUtf8(bytes).toUtf8() == bytes) << "a character was cut";
        decoded += bytes;
    }
    EXPECT_EQ(QString::fromUtf8(decoded), value);
}

TEST(PacketExportTest, BoardDomainsAreSafeNames) {
    const struct {
        std::string id;
        QByteArray domain;
    } cases[] = {{"VELKTEST", "velktest.qwk"},
                 {"My BBS! ", "mybbs.qwk"},
                 {"a-b\x82<>", "a-b.qwk"},
                 {"   ", "bbs.qwk"}};
    for (const auto& c : cases)
        EXPECT_EQ(boardDomain(c.id), c.domain) << c.id;
}

TEST(PacketExportTest, JsonEscapesEveryTextAndMarksWhatIsMissing) {
    MessageHeader h = header();
    h.number = "abc";
    h.date = "xx-yy-zz";
    h.author = "Le \"chef\" \\ 1";
    const ExportedMessage m = exportedMessage(h,
                                              "a\tb\x01"
                                              "c\n\"d\"\n",
                                              5, QStringLiteral("Technique"), 1, QDate(2026, 1, 1));
    QByteArray out;
    appendJsonMessage(out, m);
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << out.toStdString();
    EXPECT_EQ(o["from"].toString(), "Le \"chef\" \\ 1");
    EXPECT_EQ(o["text"].toString(), "a\tb\u263Ac\n\"d\"\n");
    EXPECT_TRUE(o["number"].isNull());
    // No packet date given either: the date is 1970's, the header's text kept beside.
    EXPECT_EQ(o["date"].toString(), "1970-01-01T00:00:00");
    EXPECT_EQ(o["headerDate"].toString(), "xx-yy-zz 21:30");
    EXPECT_EQ(o["conference"].toInt(), 5);
    EXPECT_EQ(o["status"].toString(), " ");

    QByteArray mbox;
    appendMboxMessage(mbox, m, "b.qwk");
    EXPECT_TRUE(mbox.startsWith("From le.chef.1@b.qwk Thu Jan  1 00:00:00 1970\n"));
    EXPECT_TRUE(
        mbox.contains("\nDate: Thu, 1 Jan 1970 00:00:00 -0000\nX-QWK-Date: xx-yy-zz 21:30\n"));
    EXPECT_TRUE(mbox.contains("\nMessage-ID: <b1.5@b.qwk>\n"));
    EXPECT_TRUE(mbox.contains("\nFrom: \"Le \\\"chef\\\" \\\\ 1\" <le.chef.1@b.qwk>\n"));
}

TEST(PacketExportTest, DatesTakeTheZoneGivenAndThePacketDateForNone) {
    const QDateTime packet(QDate(1996, 3, 2), QTime(23, 59));
    const struct {
        std::string date, time, whenWritten;
        QByteArray separator, mailDate, json; // json: "date" then "headerDate" when given
    } cases[] = {
        {"12-25-96", "10:30", "", "Wed Dec 25 10:30:00 1996", "Wed, 25 Dec 1996 10:30:00 -0000",
         "1996-12-25T10:30:00"},
        {"12-25-96", "10:30", "19961225103015-0800 02c0", "Wed Dec 25 10:30:15 1996",
         "Wed, 25 Dec 1996 10:30:15 -0800", "1996-12-25T10:30:15-08:00"},
        {"12-25-96", "10:30", "19961226043000+1100", "Thu Dec 26 04:30:00 1996",
         "Thu, 26 Dec 1996 04:30:00 +1100", "1996-12-26T04:30:00+11:00"},
        {"12-25-96", "10:30", "19961225103000+0000", "Wed Dec 25 10:30:00 1996",
         "Wed, 25 Dec 1996 10:30:00 +0000", "1996-12-25T10:30:00+00:00"},
        {"01-02-97", "08:05", "19970102080500-0930", "Thu Jan  2 08:05:00 1997",
         "Thu, 2 Jan 1997 08:05:00 -0930", "1997-01-02T08:05:00-09:30"},
        // A zone out of the earth's range, a day that is none, a short field: the header's.
        {"12-25-96", "10:30", "19961225103000+1500", "Wed Dec 25 10:30:00 1996",
         "Wed, 25 Dec 1996 10:30:00 -0000", "1996-12-25T10:30:00"},
        {"12-25-96", "10:30", "19960230103000-0800", "Wed Dec 25 10:30:00 1996",
         "Wed, 25 Dec 1996 10:30:00 -0000", "1996-12-25T10:30:00"},
        {"12-25-96", "10:30", "199612251030", "Wed Dec 25 10:30:00 1996",
         "Wed, 25 Dec 1996 10:30:00 -0000", "1996-12-25T10:30:00"},
        // Impossible or unreadable: the packet's date, the header's text kept.
        {"02-30-96", "10:30", "", "Sat Mar  2 23:59:00 1996", "Sat, 2 Mar 1996 23:59:00 -0000",
         "1996-03-02T23:59:00 02-30-96 10:30"},
        {"13-13-96", "", "", "Sat Mar  2 23:59:00 1996", "Sat, 2 Mar 1996 23:59:00 -0000",
         "1996-03-02T23:59:00 13-13-96"},
        {"02-30-96", "10:30", "19960302120000+0100", "Sat Mar  2 12:00:00 1996",
         "Sat, 2 Mar 1996 12:00:00 +0100", "1996-03-02T12:00:00+01:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date + " " + c.whenWritten);
        MessageHeader h = header();
        h.date = c.date;
        h.time = c.time;
        h.longFields.whenWritten = c.whenWritten;
        const ExportedMessage m = exportedMessage(h, "x", 5, "T", 1, QDate(2026, 1, 1), packet);
        QByteArray mbox, json;
        appendMboxMessage(mbox, m, "b.qwk");
        appendJsonMessage(json, m);
        const qsizetype start = mbox.indexOf(' ', 5) + 1;
        EXPECT_EQ(mbox.mid(start, mbox.indexOf('\n') - start), c.separator);
        EXPECT_TRUE(mbox.contains(QByteArray("\nDate: " + c.mailDate + "\n"))) << mbox.data();
        const QJsonObject o = QJsonDocument::fromJson(json).object();
        EXPECT_EQ(QString(o["date"].toString() + ' ' + o["headerDate"].toString()).trimmed(),
                  c.json);
        EXPECT_EQ(mbox.contains("\nX-QWK-Date: "), o.contains("headerDate"));
    }
}

TEST(PacketExportTest, LinesTooLongForMailGoQuotedPrintable) {
    const std::string a998(998, 'a');
    const std::string b1200(1200, 'b');
    const std::string c75(75, 'c');
    std::string euros;
    for (int i = 0; i < 400; ++i)
        euros += "\xE2\x82\xAC";
    const struct {
        std::string text;
        bool utf8;
        bool quotedPrintable;
        QByteArray decoded; // the body as a mail program shows it
    } cases[] = {
        {a998 + "\nFrom court", false, false, QByteArray::fromStdString(a998) + "\nFrom court\n"},
        // A "From " line of 998 bytes is 999 with its ">".
        {"From " + std::string(993, 'a'), false, true,
         QByteArray::fromStdString("From " + std::string(993, 'a')) + '\n'},
        {"From " + b1200 + " \n\n>From x", false, true,
         QByteArray::fromStdString("From " + b1200 + " \n\n>From x\n")},
        // "From " where a soft break puts it at a line's start; "=" and tabs escaped or not.
        {c75 + "From x" + std::string(1000, '=') + "\t\t\n>From y", false, true,
         QByteArray::fromStdString(c75 + "From x" + std::string(1000, '=') + "\t\t\n>From y\n")},
        {std::string(74, 'd') + "\x82" + b1200, false, true,
         QByteArray::fromStdString(std::string(74, 'd') + "\xC3\xA9" + b1200 + '\n')},
        {euros + "\r\nfin", true, true, QByteArray::fromStdString(euros + "\nfin\n")},
    };
    static const QRegularExpression fromLine(QStringLiteral("^>*From "));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 80));
        QByteArray out;
        appendMboxMessage(out, exported(c.text, c.utf8), "b.qwk");
        EXPECT_TRUE(out.contains(c.quotedPrintable
                                     ? "\nContent-Transfer-Encoding: quoted-printable\n"
                                     : "\nContent-Transfer-Encoding: 8bit\n"));
        const QByteArray body = mboxBody(out).chopped(1);
        for (const QByteArray& line : body.split('\n')) {
            EXPECT_LE(line.size(), c.quotedPrintable ? 76 : 998);
            EXPECT_FALSE(c.quotedPrintable && fromLine.match(QString::fromLatin1(line)).hasMatch())
                << line.data();
        }
        if (c.quotedPrintable)
            EXPECT_EQ(decodedQuotedPrintable(body), c.decoded);
        else
            EXPECT_EQ(body, QByteArray(c.decoded).replace("\nFrom ", "\n>From "));
    }
}

} // namespace velk
