// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/PacketSearch.h"

#include "core/CharacterSet.h"
#include "packet/ControlFile.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ScriptedUiServices.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace velk {

namespace {

class PacketSearchTest : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session s;
    ScriptedUiServices ui;
    PacketBuilder b;

    void SetUp() override {
        dirs.configure(s);
        b.conference(0, "Principal").conference(3, "Cuisine").conference(7, "Sans index");
        add(0, "Bienvenue", "MARIE CURIE", unicodeToDos("Le café est servi.\nLe garçon arrive\n"));
        add(0, "Réunion", "ÉLODIE ROUSSEAU", "Rendez-vous mardi\n");
        add(3, "Gâteau", "JEAN DUPONT", unicodeToDos("Recette du GÂTEAU au café\n"));
        PacketMessage& utf8 = add(3, "Crème", "ANNE", "Crème brûlée, œufs\n");
        utf8.headersDat = true;
        utf8.utf8 = true;
        utf8.subject = "Crème";
        // The last message of the last conference, whose conference has no index file.
        add(7, "Dernier", "PAUL", "tout au bout: cafetière\n");
        b.withoutIndex(7);
        b.writeTo(s.settings.workPath);
        ASSERT_TRUE(InitQWK(s, ui));
    }
    PacketMessage& add(std::uint16_t conference, const std::string& subject,
                       const std::string& from, const std::string& text) {
        PacketMessage& m = b.add(conference, unicodeToDos(QString::fromStdString(subject)), text);
        m.from = unicodeToDos(QString::fromStdString(from));
        return m;
    }
    // "conference:subject" of each hit, in order.
    QStringList find(const QString& text,
                     unsigned fields = SearchSubject | SearchAuthor | SearchRecipient | SearchText,
                     bool matchCase = false, bool wholeWord = false) {
        QStringList out;
        for (const SearchHit& h : searchPacket(s, {text, fields, matchCase, wholeWord}))
            out << QString::number(h.conferenceNumber) + ':' + h.subject;
        return out;
    }
};

TEST_F(PacketSearchTest, FindsThroughTheDosSetInEveryConference) {
    struct Case {
        QString text;
        unsigned fields;
        bool matchCase, wholeWord;
        QStringList expected;
    };
    const unsigned all = SearchSubject | SearchAuthor | SearchRecipient | SearchText;
    const Case cases[] = {
        {"café", all, false, false, {"0:Bienvenue", "3:Gâteau"}},
        {"CAFÉ", all, false, false, {"0:Bienvenue", "3:Gâteau"}},
        {"CAFÉ", all, true, false, {}},
        {"gâteau", all, false, false, {"3:Gâteau"}},
        {"gâteau", SearchText, true, false, {}},
        {"GARÇON ARRIVE", SearchText, false, false, {"0:Bienvenue"}},
        {"élodie", SearchAuthor, false, false, {"0:Réunion"}},
        {"élodie", SearchSubject | SearchText, false, false, {}},
        {"Crème", all, false, false, {"3:Crème"}},
        {"ŒUFS", SearchText, false, false, {"3:Crème"}},
        {"caf", all, false, true, {}},
        {"cafe", all, false, false, {"7:Dernier"}},
        {"bout", all, false, true, {"7:Dernier"}},
        {"servi", SearchText, false, true, {"0:Bienvenue"}},
        {"Rendez", SearchText, false, true, {"0:Réunion"}},
        {"introuvable", all, false, false, {}},
        {"", all, false, false, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(find(c.text, c.fields, c.matchCase, c.wholeWord), c.expected)
            << c.text.toStdString() << " fields " << c.fields << " case " << c.matchCase << " word "
            << c.wholeWord;
}

TEST_F(PacketSearchTest, OneConferenceIsSearchedAloneEvenWithoutItsIndexFile) {
    const std::pair<int, QStringList> cases[] = {
        {3, {"3:Gâteau"}}, {7, {"7:Dernier"}}, {0, {"0:Bienvenue"}}, {5, {}}};
    for (const auto& [conference, expected] : cases) {
        SearchRequest request{QStringLiteral("caf")};
        request.conference = conference;
        QStringList found;
        for (const SearchHit& h : searchPacket(s, request))
            found << QString::number(h.conferenceNumber) + ':' + h.subject;
        EXPECT_EQ(found, expected) << conference;
    }
}

TEST_F(PacketSearchTest, ASearchInSlicesFindsWhatTheWholeOneFinds) {
    PacketSearch search(s, {"a", SearchText, false, false});
    std::vector<SearchHit> hits;
    int slices = 0;
    while (search.searchSome(hits, std::chrono::milliseconds(0)))
        ++slices;
    EXPECT_GT(slices, 0);
    ASSERT_EQ(hits.size(), searchPacket(s, {"a", SearchText, false, false}).size());
    EXPECT_EQ(hits.back().subject, QStringLiteral("Dernier"));
    EXPECT_EQ(hits.front().date, QStringLiteral("05/02/96"));
}

} // namespace

} // namespace velk
