// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/FileUtil.h"
#include "packet/PacketBuilder.h"
#include "tests/support/CliCapture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

TEST(SubscriptionCliTest, ThreadOrderAndQueuedRequestsForScripts) {
    QTemporaryDir dir;
    PacketBuilder b;
    b.conference(4, "Fils");
    for (const auto& [number, reference] : {std::pair{"2", "1"}, {"1", ""}, {"3", "2"}}) {
        PacketMessage& m = b.add(4, std::string("Sujet ") + number, "x\n");
        m.number = number;
        m.reference = reference;
    }
    const QString packet = joinPath(dir.path(), "VELKTEST.QWK");
    b.zipTo(packet);
    const CliBytesRun list = runCliBytes({"list", packet, "--sort", "fil"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "4\t1\t02-05-96\tMARIE CURIE\tJEAN DUPONT\tSujet 1\n"
                        "4\t2\t02-05-96\tMARIE CURIE\tJEAN DUPONT\t  Sujet 2\n"
                        "4\t3\t02-05-96\tMARIE CURIE\tJEAN DUPONT\t    Sujet 3\n");

    const QStringList where = {"--repertoire", dir.path()};
    EXPECT_EQ(runCliBytes(QStringList{"abonnement", packet, "4", "ajouter"} + where).status, 0);
    const CliBytesRun refused =
        runCliBytes(QStringList{"abonnement", packet, "4", "retirer"} + where);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("CONTROLTYPE = DROP"), std::string::npos);
    const CliBytesRun queued = runCliBytes(QStringList{"demandes", packet} + where);
    EXPECT_EQ(queued.out, "4\tajouter\tFils\n");
    EXPECT_EQ(readWholeFile(joinPath(dir.path(), "VELKTEST.DEM")),
              "VELK DEMANDES 1\r\nAJOUTER 4\r\n");
    EXPECT_EQ(runCliBytes({"abonnement", packet, "4", "garder"}).status, 2);
}

} // namespace velk
