// SPDX-License-Identifier: GPL-2.0-or-later
#include "merge/PacketMerge.h"

#include "merge/Fusion.h"
#include "packet/IndexFiles.h"
#include "packet/PacketBuilder.h"
#include "packet/PacketOpening.h"
#include "packet/PacketSession.h"
#include "tests/support/MergeTestSupport.h"

#include <QProcess>
#include <QTemporaryDir>

#include <cctype>

namespace velk {

using namespace mergetest;

namespace {

// Written by Python's own zip writer, apart from ours.
void handLaid(const QString& path, const std::string& tag) {
    QProcess p;
    p.start("python3", {VELK_SOURCE_DIR "/tests/merge/hand_laid_packet.py", path,
                        QString::fromStdString(tag)});
    ASSERT_TRUE(p.waitForFinished() && p.exitCode() == 0) << p.readAllStandardError().toStdString();
}

// A packet of PacketBuilder's: 'i' with index files, 'n' without, 'I' and 'N' with
// HEADERS.DAT and UTF-8 names, 'M' over 1,000 conferences; 'h' the hand-laid one.
void write(const QString& path, char kind, const std::string& tag) {
    if (kind == 'h')
        return handLaid(path, tag);
    const bool headersDat = std::isupper(kind), indexed = kind == 'i' || kind == 'I';
    const int conferences = (kind == 'M' ? 1000 : 0) + (tag == "N" ? 10 : 9);
    PacketBuilder b;
    for (int c = 0; c < conferences; ++c)
        b.conference(std::uint16_t(c), "C" + std::to_string(c));
    for (const int c : {0, 2, 9, conferences - 1}) {
        PacketMessage& m = b.add(std::uint16_t(c), "Sujet " + tag + std::to_string(c), "Texte\n");
        m.personal = c == 2, m.to = c == 2 ? "JEAN DUPONT" : "ALL";
        m.headersDat = headersDat, m.utf8 = headersDat;
        m.from = headersDat ? "Fran\xC3\xA7oise de la Tour d'Auvergne " + tag : "MARIE";
    }
    b.quirks.noIndexFiles = b.quirks.noPersonalIndex = !indexed;
    b.zipTo(path);
}

// What the reader shows of a packet, message by message, by conference and for the user:
// names, subject, character set and text as characters. Then its control file, polls (each
// VOTING.DAT section naming a vote record of its subject) and TOREADER.EXT.
struct Reached {
    std::map<std::uint16_t, std::vector<QString>> conferences;
    std::vector<QString> personal;
    int conferenceCount = 0, polls = 0;
    QByteArray toReader;
};
Reached readBack(const QString& packet) {
    QTemporaryDir work;
    PacketSession s;
    s.settings.workPath = work.path();
    HeadlessUiServices ui;
    Reached r;
    EXPECT_TRUE(unpackAndLoadPacket(s, packet, ui));
    BlockFile messages(messagesFilePath(work.path()));
    const auto read = [&](std::int32_t block) {
        ReadPacketMessage(s, messages, block, ui);
        const MessageHeader& h = s.store.CurrentHeader;
        return messageCharacters(h, fullAuthor(h) + '|' + fullRecipient(h) + '|' + fullSubject(h) +
                                        (h.longFields.utf8 ? "|UTF-8|" : "|DOS|") +
                                        s.store.MessageText);
    };
    for (const IndexFileEntry& e : findIndexFiles(work.path(), s.packet))
        for (const std::int32_t b : readConferenceIndex(work.path(), e))
            r.conferences[e.conferenceNumber].push_back(read(b));
    for (const std::int32_t b : readPersonalList(work.path(), s.packet))
        r.personal.push_back(read(b));
    r.conferenceCount = s.packet.control.ConferenceCount;
    const auto file = [&](const char* name) {
        return bytesOf(findFileNoCase(work.path(), name).value_or(""));
    };
    const QByteArray dat = file("MESSAGES.DAT");
    for (const std::string& l : splitTextLines(file("VOTING.DAT"))) {
        const qint64 at = l[0] == '[' ? std::stoll(l.substr(1), nullptr, 16) : -1;
        r.polls += at >= 0 && dat.mid(at, 1) == "V" && dat.mid(at + 71, 7) == "Sondage";
    }
    r.toReader = file("TOREADER.EXT");
    return r;
}

} // namespace

TEST(PacketMergeTable, EveryMessageOfBothIsReadBackWithItsLongFields) {
    struct Case {
        const char* what;
        char base, integrated;
        int conferences, handLaid;
        QByteArray toReader; // the newer's, with the older's other AREA lines
    };
    const Case cases[] = {
        {"index files + none", 'i', 'n', 10, 0, ""},
        {"none + index files", 'n', 'i', 10, 0, ""},
        {"index files + by hand", 'i', 'h', 10, 1, "ALIAS N\r\nAREA 2 aE\r\n"},
        {"HEADERS.DAT + by hand", 'I', 'h', 10, 1, "ALIAS N\r\nAREA 2 aE\r\n"},
        {"by hand + HEADERS.DAT, no index files", 'h', 'N', 10, 1, "ALIAS B\r\nAREA 9 aE\r\n"},
        {"by hand twice", 'h', 'h', 3, 2, "ALIAS N\r\nAREA 2 aE\r\nAREA 9 aE\r\n"},
        {"over 1,000 conferences", 'M', 'M', 1010, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString base = dir.path() + "/BASE.QWK", integrated = dir.path() + "/NOUVEAU.QWK";
        write(base, c.base, "B");
        write(integrated, c.integrated, "N"); // the newer
        const Reached before = readBack(base), added = readBack(integrated);
        QDir().mkpath(dir.path() + "/WORK");
        PacketControl control;
        HeadlessUiServices ui;
        const FusionResult r = DoFusion(base, integrated, dir.path() + "/WORK", control, ui, {},
                                        IntegratedDeletion::Keep);
        ASSERT_TRUE(r.merged);

        const Reached merged = readBack(base);
        Reached expected = before;
        for (const auto& [number, list] : added.conferences)
            for (const QString& m : list)
                expected.conferences[number].push_back(m);
        for (const QString& m : added.personal)
            expected.personal.push_back(m);
        EXPECT_EQ(merged.conferences, expected.conferences);
        EXPECT_EQ(merged.personal, expected.personal);
        EXPECT_EQ(merged.conferenceCount, c.conferences);
        EXPECT_EQ(merged.polls, c.handLaid);
        EXPECT_EQ(merged.toReader, c.toReader);
        // The section of no message is left out and told.
        EXPECT_EQ(r.notices.NoticeMemo.filter("HEADERS.DAT").size(), c.handLaid);
    }
}

TEST(PacketMergeCheck, FindsWhatTheResultLacks) {
    for (const char* spoilt : {"002.NDX", "HEADERS.DAT", "MESSAGES.DAT"}) {
        SCOPED_TRACE(spoilt);
        QTemporaryDir dir;
        write(dir.path() + "/B.QWK", 'I', "B");
        handLaid(dir.path() + "/N.QWK", "N");
        for (const QString name : {"/B", "/N"})
            ASSERT_TRUE(QDir().mkpath(dir.path() + name) &&
                        unpackArchive(dir.path() + name + ".QWK", dir.path() + name).ok());
        PacketMerge merge(dir.path() + "/B", dir.path() + "/N");
        merge.combineMessages();
        MergeNotices notices;
        merge.finish({}, notices);
        EXPECT_EQ(merge.check(), "");
        // An emptied index file or HEADERS.DAT; a byte changed in the last integrated text.
        QFile f(dir.path() + "/B/" + spoilt);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite) &&
                    (f.size() < 10000 ? f.resize(0) : f.seek(f.size() - 128) && f.write("X")));
        f.close();
        EXPECT_TRUE(merge.check().startsWith("La vérification du paquet fusionné a échoué : "));
    }
}

} // namespace velk
