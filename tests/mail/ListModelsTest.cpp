// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/ListModels.h"

#include "core/VelkError.h"
#include "mail/Browser.h"

#include <gtest/gtest.h>

namespace velk {

namespace {

ListedMessage message(const std::string& author, const std::string& subject) {
    MessageListEntry e;
    e.privateMark = 'P';
    e.date = "02-05-96";
    e.author = author;
    e.recipient = "TOUS";
    e.subject = subject;
    e.number = "7";
    ListedMessage m = listedMessage(e);
    m.conference = 1001;
    return m;
}

QStringList shown(const QAbstractItemModel& model) {
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row)
        out << model.index(row, 0).data().toString();
    return out;
}

} // namespace

// The lines the browser draws are its positions' lines, in DOS characters, and only the rows
// it was told of: a change shows at the reset, also when the change fails.
TEST(ListModels, BrowserRowsFollowTheirResets) {
    BrowserState b;
    b.MessageList = {message("ANNE", "Un"), message("\x90LODIE", "Deux")};
    MessageListModel model(b);
    EXPECT_EQ(model.rowCount(), 0);
    model.reset([&] { b.ListedPositions = {1, 0}; });
    const QStringList lines = shown(model);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].size(), 88);
    EXPECT_EQ(lines[0].left(11), "P 05/02/96 ");
    EXPECT_EQ(lines[0].mid(11, 25).trimmed(), "ÉLODIE");
    EXPECT_EQ(lines[1].mid(63).trimmed(), "Un");
    EXPECT_FALSE(model.index(0, 0).data(Qt::FontRole).isValid());
    EXPECT_THROW(model.reset([&] {
        b.ListedPositions = {0};
        throw VelkError::fileNotFound();
    }),
                 VelkError);
    EXPECT_EQ(model.rowCount(), 1);
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.index(0, 0).data().isValid());
}

TEST(ListModels, PersonalAndSearchLines) {
    PersonalListModel personal;
    personal.setMessages({message("ANNE", "Un")});
    EXPECT_EQ(shown(personal),
              QStringList{"P 1001 05/02/96 ANNE                      Un                       "});

    SearchResultModel results;
    int inserted = 0;
    QObject::connect(&results, &QAbstractItemModel::rowsInserted, [&] { ++inserted; });
    SearchHit hit;
    hit.conferenceNumber = 5;
    hit.number = QStringLiteral("12");
    hit.date = QStringLiteral("02-05-96");
    hit.author = QStringLiteral("UN AUTEUR AU NOM BIEN TROP LONG");
    hit.subject = QStringLiteral("Café");
    results.addHits({hit});
    results.addHits({});
    results.addHits({hit, hit});
    EXPECT_EQ(inserted, 2);
    ASSERT_EQ(results.rowCount(), 3);
    EXPECT_EQ(results.hits().size(), 3u);
    EXPECT_EQ(shown(results)[2], "5     12      02-05-96  UN AUTEUR AU NOM BIEN TRO Café");
    results.clearHits();
    EXPECT_EQ(results.rowCount(), 0);
    EXPECT_TRUE(results.hits().empty());
}

} // namespace velk
