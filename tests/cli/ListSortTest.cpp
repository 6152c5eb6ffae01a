// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliPacket.h"
#include "cli/CliRegistry.h"
#include "core/FileUtil.h"
#include "mail/Browser.h"
#include "packet/ControlFile.h"
#include "packet/MessageStore.h"
#include "tests/support/CliCapture.h"
#include "tests/support/ConferenceShapes.h"
#include "tests/support/ScriptedUiServices.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace velk {

namespace {

CliBytesRun cli(const QStringList& args) {
    return runCliBytes(args);
}

const char* const kOrderWords[] = {"numero", "auteur", "destinataire", "sujet"};

// One conference of each shape, then three of random messages.
class ListSortTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString packet;
    PacketBuilder b;

    void SetUp() override {
        std::uint16_t conference = 1;
        for (ConferenceShape shape : kConferenceShapes) {
            b.conference(conference, shapeName(shape));
            addShapedMessages(b, conference, shape, 300, conference);
            ++conference;
        }
        for (unsigned seed = 0; seed < 3; ++seed, ++conference) {
            b.conference(conference, "Hasard");
            addShapedMessages(b, conference, ConferenceShape::Random, 1 + 97 * seed, 77 + seed);
        }
        packet = joinPath(dir.path(), "FORMES.QWK");
        b.zipTo(packet);
    }

    // What the browser shows for the packet in this order: each conference of its list,
    // sorted by the window's own call, then every line's message read as a click reads it.
    std::string browserListing(int order) {
        QTemporaryDir work;
        Session s;
        ScriptedUiServices ui;
        s.settings.workPath = work.path();
        b.writeTo(work.path());
        EXPECT_TRUE(shown(InitQWK(s), ui));
        buildConferenceList(s);
        s.browser.SortOrder = MessageOrder(order);
        std::string out;
        for (std::size_t line = 0; line < s.packet.indexFiles.size(); ++line) {
            const int position = s.packet.indexFiles[line].conferencePosition;
            const int number = s.packet.control.Conferences[std::size_t(position)].ConferenceNumber;
            REPORTED_TO(ui, listConference(s, said, int(line)));
            for (int row = 0; row <= s.browser.LastListIndex; ++row) {
                EXPECT_TRUE(REPORTED_TO(ui, readListedMessage(s, said, row)));
                const MessageHeader& h = s.store.CurrentHeader;
                const QString text = QString::number(number) + '\t' + cliText(h.number) + '\t' +
                                     cliText(h.date) + '\t' + cliText(h.author) + '\t' +
                                     cliText(h.recipient) + '\t' + cliText(h.subject) + '\n';
                out += text.toStdString();
            }
        }
        return out;
    }
};

} // namespace

TEST_F(ListSortTest, EachOrderPrintsWhatTheBrowserLists) {
    for (int order = 1; order <= 4; ++order) {
        const CliBytesRun r = cli({"list", packet, "--sort", kOrderWords[order - 1]});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, browserListing(order)) << kOrderWords[order - 1];
    }
}

TEST_F(ListSortTest, OneConferenceSortedAndTheIndexOrderByDefault) {
    const CliBytesRun sorted = cli({"list", packet, "2", "--sort", "numero"});
    ASSERT_EQ(sorted.status, 0) << sorted.err;
    // Newest first, listed from the lowest number.
    EXPECT_EQ(sorted.out.substr(0, sorted.out.find('\n')),
              "2\t1\t01-01-96\tCLAIRE 7\tALAIN 42\tSujet 293");
    EXPECT_EQ(std::count(sorted.out.begin(), sorted.out.end(), '\n'), 300);
    const CliBytesRun sameAgain = cli({"list", "--sort", "Numéro", packet, "2"});
    EXPECT_EQ(sameAgain.out, sorted.out);

    const CliBytesRun plain = cli({"list", packet, "2"});
    EXPECT_EQ(plain.out.substr(0, plain.out.find('\n')),
              "2\t300\t01-10-96\tJEAN 0\tANNE 3\tSujet 0");
    EXPECT_NE(plain.out, sorted.out);
}

TEST_F(ListSortTest, AnOrderThatIsNoneOfTheButtonsIsAUsageError) {
    const std::string usage =
        "Usage : velk-cli list PAQUET [CONFÉRENCE] [--sort numero|auteur|destinataire|sujet|fil] "
        "[--etat [--repertoire RÉPERTOIRE]]\n";
    for (const QStringList& args :
         {QStringList{"list", packet, "--sort", "date"}, QStringList{"list", packet, "--sort"},
          QStringList{"list", "--sort", "sujet"}}) {
        const CliBytesRun r = cli(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err, usage);
        EXPECT_EQ(r.out, "");
    }
}

} // namespace velk
