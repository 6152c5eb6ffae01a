// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/PacketSearch.h"

#include "mail/ListModels.h"

#include "core/CharacterSet.h"
#include "packet/ControlFile.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ScriptedUiServices.h"

#include <QDir>
#include <QFile>
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

TEST(SearchMatcherTest, ComparesCaseFoldedCharactersOfEachMessagesOwnSet) {
    enum Kind { DosField, DosText, Utf8Text };
    struct Case {
        const char* query;
        std::string bytes;
        Kind kind;
        bool matchCase, wholeWord, found;
    };
    const std::string far = std::string(40, 'x') + "PROBL\x8AME" + std::string(20, 'y');
    const Case cases[] = {
        {"PROBLÈME", "le probl\x8Ame", DosText, false, false, true},
        {"PROBLÈME", far, DosText, false, false, true},
        {"PROBLEME", far, DosText, false, false, false},
        {"café", "CAF\x90", DosField, false, false, true},
        {"CAFÉ", "caf\x82", DosField, true, false, false},
        {"OÙ", "ou pas", DosText, false, false, false},
        {"OÙ", "o\x97 donc", DosText, false, false, true},
        {"€", "prix 5 \x80 \xEE", DosText, false, false, false},
        {"™", "marque \xFE", DosText, false, false, false},
        {"€", "5 \xE2\x82\xAC", Utf8Text, false, false, true},
        {"À", "a la", DosText, false, true, false},
        {"À", "\x85 la", DosText, false, true, true},
        {"à", "voil\x85 tout", DosText, false, true, false},
        {"ß",
         "Stra\xE1"
         "e",
         DosField, false, false, true},
        {"SS",
         "Stra\xE1"
         "e",
         DosField, false, false, false},
        {"σ", "\xE4", DosField, false, false, true},
        {"π", "\xE3", DosField, false, false, true},
        {"π",
         "a\xE3"
         "b",
         DosText, false, false, false},
        {"a b", std::string("a\0b", 3), DosField, false, false, true},
        {"e\u0301t\u00E9", "\x90T\x90", DosField, false, false, true},
        {"CRÈME",
         "cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
         "e",
         Utf8Text, false, false, true},
        {"é", "\xC3\xA9t\xC3\xA9", Utf8Text, false, true, false},
        {"Été", "\xC3\x89t\xC3\xA9", Utf8Text, true, true, true},
        {"ETE", "ete", Utf8Text, false, false, true},
        {"longue", "long", DosField, false, false, false},
    };
    for (const Case& c : cases) {
        SearchRequest request{QString::fromUtf8(c.query)};
        request.matchCase = c.matchCase;
        request.wholeWord = c.wholeWord;
        EXPECT_EQ(SearchMatcher(request).matches(c.bytes, c.kind == Utf8Text, c.kind != DosField),
                  c.found)
            << c.query << " in " << c.bytes;
    }
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

TEST_F(PacketSearchTest, HitsComeInIndexOrderWhateverTheFileOrder) {
    // Conference 3's index reversed, its first message listed twice: the messages file is
    // read in its own order, the hits given in the index's.
    QFile index(s.settings.workPath + QStringLiteral("/003.NDX"));
    ASSERT_TRUE(index.open(QIODevice::ReadWrite));
    const QByteArray records = index.readAll();
    ASSERT_EQ(records.size(), 10);
    index.seek(0);
    index.write(records.mid(5) + records.left(5) + records.mid(5));
    index.close();
    for (const auto budget : {0, 1000}) {
        PacketSearch search(s, {QStringLiteral("E")});
        std::vector<SearchHit> hits;
        while (search.searchSome(hits, std::chrono::milliseconds(budget))) {
        }
        QStringList found;
        for (const SearchHit& h : hits)
            found << QString::number(h.conferenceNumber) + ':' + h.subject;
        EXPECT_EQ(found, QStringList({"0:Bienvenue", "0:Réunion", "3:Crème", "3:Gâteau", "3:Crème",
                                      "7:Dernier"}));
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

// The window's list keeps where each hit is and draws the lines the search gave, also once
// the packet's files are gone.
TEST_F(PacketSearchTest, ResultLinesReadAgainAreTheSearchsOwn) {
    const std::vector<SearchHit> hits = searchPacket(s, {QStringLiteral("e")});
    SearchResultModel model;
    model.clearHits(std::make_unique<SearchHitReader>(s));
    model.addHits(hits);
    QDir(s.settings.workPath).removeRecursively();
    ASSERT_EQ(model.hitCount(), hits.size());
    ASSERT_GE(hits.size(), 4u);
    for (std::size_t row = 0; row < hits.size(); ++row)
        EXPECT_EQ(model.index(int(row)).data().toString(), searchResultLine(hits[row]));
}

} // namespace

} // namespace velk
