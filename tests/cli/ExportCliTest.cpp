// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/FileUtil.h"
#include "packet/PacketBuilder.h"
#include "tests/support/CliCapture.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/QuotedPrintable.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace velk {

namespace {

CliRun cli(const QStringList& args) {
    return runCliCaptured(QStringList{QStringLiteral("export")} + args);
}

// A message of an mbox as a mail program reads it: unfolded headers with their encoded
// words decoded, and the body with one ">" taken off each quoted "From " line, or decoded
// when it is quoted-printable.
struct MailMessage {
    QString separator;
    std::map<QString, QString> headers;
    QString body;
};

QString decodedHeader(QString value) {
    static const QRegularExpression between(QStringLiteral("\\?=\\s+=\\?"));
    value.replace(between, QStringLiteral("?==?"));
    static const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([^?]*)\\?="));
    QString out;
    qsizetype at = 0;
    QByteArray pending;
    for (auto it = word.globalMatch(value); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedStart() != at) {
            out += QString::fromUtf8(pending) + value.mid(at, m.capturedStart() - at);
            pending.clear();
        }
        // Adjacent words are one UTF-8 sequence: a character may not be cut between them.
        pending += QByteArray::fromBase64(m.captured(1).toLatin1());
        at = m.capturedEnd();
    }
    return out + QString::fromUtf8(pending) + value.mid(at);
}

std::vector<MailMessage> parseMbox(const QByteArray& data) {
    const QStringList lines = QString::fromUtf8(data).split(QLatin1Char('\n'));
    std::vector<MailMessage> messages;
    bool inHeaders = false;
    QString lastHeader;
    static const QRegularExpression quotedFrom(QStringLiteral("^>+From "));
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(QLatin1String("From ")) && (i == 0 || lines[i - 1].isEmpty())) {
            if (!messages.empty())
                messages.back().body.chop(1); // the blank line before the separator
            messages.push_back({line, {}, {}});
            inHeaders = true;
            continue;
        }
        EXPECT_FALSE(messages.empty()) << "text before the first separator";
        if (messages.empty())
            return messages;
        MailMessage& m = messages.back();
        if (inHeaders) {
            if (line.isEmpty()) {
                inHeaders = false;
            } else if (line.startsWith(QLatin1Char(' '))) {
                m.headers[lastHeader] += line;
            } else {
                const qsizetype colon = line.indexOf(QLatin1String(": "));
                EXPECT_GT(colon, 0) << line.toStdString();
                lastHeader = line.left(colon);
                EXPECT_EQ(m.headers.count(lastHeader), 0u) << lastHeader.toStdString();
                m.headers[lastHeader] = line.mid(colon + 2);
            }
            continue;
        }
        m.body += (quotedFrom.match(line).hasMatch() ? line.mid(1) : line) + QLatin1Char('\n');
    }
    if (!messages.empty())
        messages.back().body.chop(1);
    for (MailMessage& m : messages) {
        for (auto& [name, value] : m.headers)
            value = decodedHeader(value);
        if (m.headers[QStringLiteral("Content-Transfer-Encoding")] == "quoted-printable")
            m.body = QString::fromUtf8(decodedQuotedPrintable(m.body.toUtf8()));
    }
    return messages;
}

// What each message of the packet must become, in export order.
struct Expected {
    QString messageId, date, from, to, subject, inReplyTo, conference;
    bool isPrivate;
    QString body;
};

const QString kLongTo = QStringLiteral("Destinataire au nom bien plus long que vingt-cinq");
const QString kLongSubject = QStringLiteral("Un sujet QWKE qui d\u00E9passe les vingt-cinq");

const std::vector<Expected> kExpected = {
    {"<1.0@velktest.qwk>", "Wed, 25 Dec 1996 10:30:00 -0000", "\"ANNE\" <anne@velktest.qwk>",
     "\"JEAN DUPONT\" <jean.dupont@velktest.qwk>", "Premier", "", "0 Principal", false,
     "Bonjour \u00E0 tous\nFrom the start\n>From quoted\n>>From twice\n"},
    {"<3.0@velktest.qwk>", "Mon, 5 Feb 1996 21:30:00 -0000",
     "\"MARIE CURIE\" <marie.curie@velktest.qwk>",
     "\"" + kLongTo + "\" <destinataire.au.nom.bien.plus.long.que.vingt.cinq@velktest.qwk>",
     kLongSubject, "", "0 Principal", false, "Long\n"},
    {"<4.0@velktest.qwk>", "Mon, 5 Feb 1996 21:30:00 -0000",
     "\u00C9ric \u00C9l\u00E9onore <eric.eleonore@velktest.qwk>",
     "\"JEAN DUPONT\" <jean.dupont@velktest.qwk>", "No\u00EBl \u20AC", "", "0 Principal", false,
     "Caf\u00E9 cr\u00E8me \u20AC\n"},
    {"<2.7@velktest.qwk>", "Fri, 27 Dec 1996 08:05:00 -0000",
     "\"MARIE CURIE\" <marie.curie@velktest.qwk>", "\"ANNE\" <anne@velktest.qwk>",
     "R\u00E9ponse priv\u00E9e", "<1.7@velktest.qwk>", "7 Caf\u00E9", true, "Entre nous.\n"},
};

// The mbox's messages as Python's mailbox and email modules read them.
QJsonArray readThroughPython(const QString& python, const QString& mbox) {
    // Python's reader keeps the ">" of quoted lines, as the older mbox forms did.
    static const char* script = R"(
import email.policy, json, mailbox, sys
box = mailbox.mbox(sys.argv[1], factory=lambda f: email.message_from_binary_file(
    f, policy=email.policy.default), create=False)
out = []
for m in box:
    out.append({"id": m["Message-ID"], "date": m["Date"].datetime.isoformat(),
                "from": m["From"].addresses[0].display_name, "to": m["To"].addresses[0].display_name,
                "subject": str(m["Subject"]), "reply": str(m["In-Reply-To"] or ""),
                "body": m.get_content()})
print(json.dumps(out))
)";
    QProcess p;
    p.start(python, {"-c", script, mbox});
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).array();
}

class ExportCliTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString packet, mbox, json;
    PacketBuilder b;

    void SetUp() override {
        packet = joinPath(dir.path(), "VELKTEST.QWK");
        mbox = joinPath(dir.path(), "courrier.mbox");
        json = joinPath(dir.path(), "courrier.json");
        b.conference(0, "Principal").conference(7, "Caf\x82").conference(9, "Vide");
        PacketMessage& first =
            b.add(0, "Premier", "Bonjour \x85 tous\nFrom the start\n>From quoted\n>>From twice\n");
        first.from = "ANNE";
        first.number = "1";
        first.date = "12-25-96";
        first.time = "10:30";
        PacketMessage& reply = b.add(7,
                                     "R\x82ponse priv\x82"
                                     "e",
                                     "Entre nous.\n");
        reply.number = "2";
        reply.status = "*";
        reply.reference = "1";
        reply.to = "ANNE";
        reply.date = "12-27-96";
        reply.time = "08:05";
        PacketMessage& qwke = b.add(0, "Un sujet QWKE qui d\x82passe les vingt-cinq", "Long\n");
        qwke.number = "3";
        qwke.to = kLongTo.toStdString();
        qwke.qwkeKludges = true;
        PacketMessage& utf =
            b.add(0, "No\xC3\xABl \xE2\x82\xAC", "Caf\xC3\xA9 cr\xC3\xA8me \xE2\x82\xAC\n");
        utf.number = "4";
        utf.from = "\xC3\x89ric \xC3\x89l\xC3\xA9onore";
        utf.headersDat = true;
        utf.utf8 = true;
        b.zipTo(packet);
    }
};

} // namespace

TEST_F(ExportCliTest, MboxReadsBackMessageByMessageAndHeaderByHeader) {
    const CliRun r = cli({packet, "--mbox", mbox});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "4 message(s) export\u00E9(s).\n");
    EXPECT_EQ(r.err, "");
    const QByteArray data = readWholeFile(mbox);
    EXPECT_FALSE(data.contains('\r'));
    const std::vector<MailMessage> messages = parseMbox(data);
    ASSERT_EQ(messages.size(), kExpected.size());
    for (std::size_t i = 0; i < kExpected.size(); ++i) {
        SCOPED_TRACE(i);
        const Expected& e = kExpected[i];
        auto h = messages[i].headers;
        EXPECT_EQ(h["Message-ID"], e.messageId);
        EXPECT_EQ(h["Date"], e.date);
        EXPECT_EQ(h["From"], e.from);
        EXPECT_EQ(h["To"], e.to);
        EXPECT_EQ(h["Subject"], e.subject);
        EXPECT_EQ(h["In-Reply-To"], e.inReplyTo);
        EXPECT_EQ(h["References"], e.inReplyTo);
        EXPECT_EQ(h["X-QWK-Conference"], e.conference);
        EXPECT_EQ(h["Sensitivity"], e.isPrivate ? "Private" : "");
        EXPECT_EQ(h["Content-Type"], "text/plain; charset=UTF-8");
        EXPECT_EQ(messages[i].body, e.body);
    }
    EXPECT_EQ(messages[0].separator, "From anne@velktest.qwk Wed Dec 25 10:30:00 1996");
    EXPECT_EQ(messages[1].separator, "From marie.curie@velktest.qwk Mon Feb  5 21:30:00 1996");
}

TEST_F(ExportCliTest, MboxReadsBackThroughPythonsMailbox) {
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    ASSERT_EQ(cli({packet, "--mbox", mbox}).status, 0);
    const QJsonArray read = readThroughPython(python, mbox);
    ASSERT_EQ(read.size(), qsizetype(kExpected.size()));
    static const QRegularExpression name(QStringLiteral("^\"?(.*?)\"? <"));
    for (std::size_t i = 0; i < kExpected.size(); ++i) {
        SCOPED_TRACE(i);
        const Expected& e = kExpected[i];
        const QJsonObject m = read[qsizetype(i)].toObject();
        EXPECT_EQ(m["id"].toString(), e.messageId);
        EXPECT_EQ(m["from"].toString(), name.match(e.from).captured(1));
        EXPECT_EQ(m["to"].toString(), name.match(e.to).captured(1));
        EXPECT_EQ(m["subject"].toString(), e.subject);
        EXPECT_EQ(m["reply"].toString(), e.inReplyTo);
        QString body = e.body;
        body.replace(QRegularExpression(QStringLiteral("(^|\n)(>*From )")),
                     QStringLiteral("\\1>\\2"));
        EXPECT_EQ(m["body"].toString(), body);
    }
    EXPECT_EQ(read[0].toObject()["date"].toString(), "1996-12-25T10:30:00");
}

TEST_F(ExportCliTest, DatesKeepTheirZoneAndAnImpossibleOneTakesThePacketDate) {
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    PacketBuilder p;
    p.conference(0, "Principal");
    p.add(0, "Zone", "x\n").date = "12-25-96";
    p.add(0, "Impossible", "y\n").date = "02-30-96";
    // The first message's header lies at byte 0x80.
    p.headersDatText("[80]\r\nWhenWritten: 19961225103015-0800 02c0\r\n");
    p.zipTo(packet);
    ASSERT_EQ(cli({packet, "--mbox", mbox, "--json", json}).status, 0);
    const QJsonArray read = readThroughPython(python, mbox);
    const QJsonArray all = QJsonDocument::fromJson(readWholeFile(json)).array();
    ASSERT_EQ(read.size(), 2);
    ASSERT_EQ(all.size(), 2);
    // The packet's date, 02-05-1996 21:30:00, for the impossible one, its own text beside.
    const char* dates[] = {"1996-12-25T10:30:15-08:00", "1996-02-05T21:30:00"};
    for (qsizetype i = 0; i < 2; ++i) {
        EXPECT_EQ(read[i].toObject()["date"].toString(), dates[i]);
        EXPECT_EQ(all[i].toObject()["date"].toString(), dates[i]);
    }
    EXPECT_FALSE(all[0].toObject().contains("headerDate"));
    EXPECT_EQ(all[1].toObject()["headerDate"].toString(), "02-30-96 21:30");
    EXPECT_TRUE(readWholeFile(mbox).contains("\nX-QWK-Date: 02-30-96 21:30\n"));
}

TEST_F(ExportCliTest, JsonParsesBackWithEveryField) {
    const CliRun r = cli({packet, "--json", json});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(readWholeFile(json), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonArray all = doc.array();
    ASSERT_EQ(all.size(), qsizetype(kExpected.size()));
    const QJsonObject reply = all[3].toObject();
    EXPECT_EQ(reply["conference"].toInt(), 7);
    EXPECT_EQ(reply["conferenceName"].toString(), "Caf\u00E9");
    EXPECT_EQ(reply["number"].toInt(), 2);
    EXPECT_EQ(reply["reference"].toInt(), 1);
    EXPECT_EQ(reply["status"].toString(), "*");
    EXPECT_EQ(reply["private"].toBool(), true);
    EXPECT_EQ(reply["date"].toString(), "1996-12-27T08:05:00");
    EXPECT_EQ(reply["from"].toString(), "MARIE CURIE");
    EXPECT_EQ(reply["to"].toString(), "ANNE");
    const QStringList texts = {kExpected[0].body, "Long\n", kExpected[2].body, "Entre nous.\n"};
    const QStringList subjects = {"Premier", kLongSubject, "No\u00EBl \u20AC",
                                  "R\u00E9ponse priv\u00E9e"};
    for (qsizetype i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(i);
        const QJsonObject m = all[i].toObject();
        EXPECT_EQ(m["text"].toString(), texts[i]);
        EXPECT_EQ(m["subject"].toString(), subjects[i]);
        EXPECT_EQ(m["private"].toBool(), i == 3);
        EXPECT_EQ(m["reference"].toInt(), i == 3 ? 1 : 0);
    }
    EXPECT_EQ(all[1].toObject()["to"].toString(), kLongTo);
    EXPECT_EQ(all[2].toObject()["from"].toString(), "\u00C9ric \u00C9l\u00E9onore");
}

TEST_F(ExportCliTest, ConferenceOptionExportsThatConferenceOnly) {
    const struct {
        QString conference;
        int messages;
    } cases[] = {{"7", 1}, {"0", 3}, {"9", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.conference.toStdString());
        const CliRun r =
            cli({packet, "--mbox", mbox, "--json", json, "--conference", c.conference});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(parseMbox(readWholeFile(mbox)).size(), std::size_t(c.messages));
        const QJsonArray all = QJsonDocument::fromJson(readWholeFile(json)).array();
        ASSERT_EQ(all.size(), c.messages);
        for (const auto& m : all)
            EXPECT_EQ(m.toObject()["conference"].toInt(), c.conference.toInt());
    }
}

TEST_F(ExportCliTest, RefusalsGiveTheirMessageAndWriteNothing) {
    const QString missingDir = joinPath(dir.path(), "absent/courrier.mbox");
    const struct {
        QStringList args;
        int status;
        QString err;
        QString path; // must not exist afterwards
    } cases[] = {
        {{packet},
         2,
         "Usage : velk-cli export PAQUET --mbox FICHIER|--json FICHIER [--conference N]\n",
         mbox},
        {{packet, "--mbox"},
         2,
         "Usage : velk-cli export PAQUET --mbox FICHIER|--json FICHIER [--conference N]\n",
         mbox},
        {{packet, "--mbox", mbox, "--json", mbox},
         2,
         "Usage : velk-cli export PAQUET --mbox FICHIER|--json FICHIER [--conference N]\n",
         mbox},
        {{packet, "--mbox", mbox, "--conference", "x"},
         2,
         "'x' n'est pas une valeur enti\u00E8re correcte\n",
         mbox},
        {{packet, "--mbox", mbox, "--conference", "99"},
         1,
         "Il n'y a pas de conf\u00E9rence 99 dans ce paquet.\n",
         mbox},
        {{packet, "--mbox", missingDir}, 1, "Erreur E/S 3\n", missingDir},
        {{joinPath(dir.path(), "absent.qwk"), "--mbox", mbox}, 1, "", mbox},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.status, c.status);
        if (!c.err.isEmpty())
            EXPECT_EQ(r.err, c.err);
        else
            EXPECT_FALSE(r.err.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(c.path));
    }
    const QByteArray before = readWholeFile(packet);
    const CliRun onPacket = cli({packet, "--mbox", packet});
    EXPECT_EQ(onPacket.status, 1);
    EXPECT_EQ(onPacket.err, "Le fichier " + packet + " est le paquet lui-m\u00EAme.\n");
    EXPECT_EQ(readWholeFile(packet), before);
}

TEST_F(ExportCliTest, AFullDiskLeavesThePreviousFileWhole) {
    // Many short messages: the mbox outgrows the packet's own files.
    for (int i = 0; i < 3000; ++i)
        b.add(0, "Court " + std::to_string(i), "Un mot.\n");
    b.zipTo(packet);
    const rlim_t limit = rlim_t(b.messagesFile().size()) + 100'000;
    writeFileAtomically(mbox, "ancien\n");
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);
    CliRun r;
    {
        FileSizeLimit full(limit);
        r = cli({packet, "--mbox", mbox});
    }
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Erreur E/S 101\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readWholeFile(mbox), "ancien\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), before);
    const CliRun again = cli({packet, "--mbox", mbox});
    EXPECT_EQ(again.status, 0) << again.err.toStdString();
    EXPECT_GT(rlim_t(readWholeFile(mbox).size()), limit);
}

TEST_F(ExportCliTest, LinesTooLongForMailReadBackWhole) {
    // A paragraph without line ends, with "From " and "=" along it, and a line of the
    // longest length mail carries as it is.
    std::string paragraph;
    for (int i = 0; i < 60; ++i)
        paragraph += "From " + std::to_string(i) + " caf\x82 = cr\x8Ame, ";
    const std::string longest(998, 'x');
    PacketBuilder lines;
    lines.conference(0, "Principal");
    lines.add(0, "Paragraphe", "Avant\n" + paragraph + "\n>From fin\n").number = "1";
    lines.add(0, "Limite", longest + "\n").number = "2";
    lines.zipTo(packet);
    QString text;
    for (const char c : paragraph)
        text += c == '\x82'   ? QStringLiteral("\u00E9")
                : c == '\x8A' ? QStringLiteral("\u00E8")
                              : QString(QLatin1Char(c));
    const QStringList bodies = {"Avant\n" + text + "\n>From fin\n",
                                QString::fromStdString(longest) + '\n'};

    ASSERT_EQ(cli({packet, "--mbox", mbox}).status, 0);
    const std::vector<MailMessage> messages = parseMbox(readWholeFile(mbox));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].headers.at("Content-Transfer-Encoding"), "quoted-printable");
    EXPECT_EQ(messages[1].headers.at("Content-Transfer-Encoding"), "8bit");
    for (std::size_t i = 0; i < messages.size(); ++i)
        EXPECT_EQ(messages[i].body, bodies[qsizetype(i)]) << i;

    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    const QJsonArray read = readThroughPython(python, mbox);
    ASSERT_EQ(read.size(), 2);
    for (qsizetype i = 0; i < read.size(); ++i)
        EXPECT_EQ(read[i].toObject()["body"].toString(), bodies[i]) << i;
}

} // namespace velk
