// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/FileUtil.h"
#include "packet/PacketBuilder.h"
#include "tests/support/CliCapture.h"
#include "tests/support/QtPrinters.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

namespace {

const QString kUsage = QStringLiteral("Usage : velk-cli search PAQUET TEXTE [--conference N] "
                                      "[--in sujet,auteur,destinataire,texte] [--case] [--word]\n");
const QString kNone = QStringLiteral("Aucun message trouvé.\n");

class SearchCliTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString packet;

    // Three messages in CP437: "Au café", "Des cafés crème" and "Un CAFÉ noir".
    void SetUp() override {
        PacketBuilder b;
        b.conference(0, "Principal").conference(3, "Cuisine");
        PacketMessage& first = b.add(0, "Au caf\x82", "Bonjour\n");
        first.from = "ANNE";
        PacketMessage& second = b.add(3, "Recettes", "Des caf\x82s cr\x8Ame\n");
        second.to = "ANNE";
        b.add(3, "Menu", "Un CAF\x90 noir\n").from = "PAUL";
        packet = joinPath(dir.path(), "CUISINE.QWK");
        b.zipTo(packet);
    }

    CliRun search(const QStringList& args) const {
        return runCliCaptured(QStringList{QStringLiteral("search"), packet} + args);
    }
};

} // namespace

TEST_F(SearchCliTest, EachHitIsTheLineListPrintsForIt) {
    const CliRun list = runCliCaptured({QStringLiteral("list"), packet});
    ASSERT_EQ(list.status, 0) << list.err.toStdString();
    const QStringList lines = list.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    ASSERT_TRUE(lines[0].endsWith(QStringLiteral("\tAu café")));

    struct Row {
        QStringList args;
        std::vector<int> hits; // lines of `list`
    };
    const Row rows[] = {
        {{"CAFÉ"}, {0, 1, 2}},
        {{"café", "--case"}, {0, 1}},
        {{"CAFÉ", "--case"}, {2}},
        {{"Café", "--word"}, {0, 2}},
        {{"café", "--word", "--case", "--in", "texte"}, {}},
        {{"anne", "--in", "auteur"}, {0}},
        {{"anne", "--in", "destinataire"}, {1}},
        {{"anne", "--in", "sujet,texte"}, {}},
        {{"crème", "--in", "Sujet,TEXTE"}, {1}},
        {{"café", "--conference", "3"}, {1, 2}},
        {{"bonjour", "--conference", "3"}, {}},
        {{"thé"}, {}},
        {{"--", "--case"}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const CliRun r = search(row.args);
        QString expected;
        for (int line : row.hits)
            expected += lines[line] + QLatin1Char('\n');
        EXPECT_EQ(r.out, expected);
        EXPECT_EQ(r.status, row.hits.empty() ? 1 : 0);
        EXPECT_EQ(r.err, row.hits.empty() ? kNone : QString());
    }
}

TEST_F(SearchCliTest, BadArgumentsAndPacketsStopWithCodeTwo) {
    struct Row {
        QStringList args;
        QString err;
    };
    const Row rows[] = {
        {{}, kUsage},
        {{"café", "encore"}, kUsage},
        {{""}, kUsage},
        {{"café", "--in"}, kUsage},
        {{"café", "--in", "couleur"}, kUsage},
        {{"café", "--in", "sujet,"}, kUsage},
        {{"café", "--conference"}, kUsage},
        {{"café", "--majuscules"}, kUsage},
        {{"café", "--conference", "trois"}, "'trois' n'est pas une valeur entière correcte\n"},
        {{"café", "--conference", "9"}, "Il n'y a pas de conférence 9 dans ce paquet.\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const CliRun r = search(row.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, row.err);
        EXPECT_EQ(r.out, "");
    }
    const CliRun missing =
        runCliCaptured({"search", joinPath(dir.path(), "ABSENT.QWK"), QStringLiteral("café")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err, "");
}

} // namespace velk
