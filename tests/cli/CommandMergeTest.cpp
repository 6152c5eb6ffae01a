// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliRegistry.h"

#include "core/Archiver.h"
#include "packet/PacketBuilder.h"
#include "tests/support/MergeTestSupport.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace velk {

using namespace mergetest;

namespace {

class CommandMergeTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    PacketBuilder baseBuilder, integratedBuilder;
    QString base, integrated;
    std::string out, err;

    void SetUp() override {
        base = joinPath(root.path(), "VELKTEST.QWK");
        integrated = joinPath(root.path(), "VELKTEST2.QWK");
        baseBuilder.conference(0, "Principal");
        baseBuilder.add(0, "Ancien", "Texte\n");
        integratedBuilder.conference(0, "Principal").conference(4, "Rencontres \x82t\x82");
        integratedBuilder.add(4, "Nouveau", "Texte\n");
        integratedBuilder.quirks.noIndexFiles = true; // its messages found in MESSAGES.DAT
    }
    void makePackets() {
        baseBuilder.zipTo(base);
        integratedBuilder.zipTo(integrated);
        const QDateTime old(QDate(2020, 1, 2), QTime(3, 4, 5));
        for (const auto& [path, when] :
             {std::pair{base, old}, std::pair{integrated, old.addDays(1)}}) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            f.setFileTime(when, QFileDevice::FileModificationTime);
        }
    }
    int run(const QStringList& args) {
        std::ostringstream o, e;
        const int status = runCli(QStringList{"merge"} + args, o, e);
        out = o.str();
        err = e.str();
        return status;
    }
    std::vector<std::string> mergedSubjects() {
        QTemporaryDir opened;
        EXPECT_TRUE(unpackArchive(base, opened.path()).ok());
        std::vector<std::string> all;
        for (const auto& [name, subjects] : subjectsByIndex(opened.path())) {
            if (name != "PERSONAL")
                all.insert(all.end(), subjects.begin(), subjects.end());
        }
        return all;
    }
};

} // namespace

TEST_F(CommandMergeTest, MergesAndPrintsTheNotices) {
    makePackets();
    const QDateTime stamp = QFileInfo(base).lastModified();
    ASSERT_EQ(run({base, integrated}), 0) << err;
    EXPECT_EQ(out, "La fusion des deux paquets QWK s'est déroulée correctement.\n"
                   "La conférence \"Rencontres été\" a été ajoutée depuis la dernière fusion.\n");
    EXPECT_EQ(err, "");
    EXPECT_EQ(QFileInfo(base).lastModified(), stamp);
    EXPECT_TRUE(QFileInfo(integrated).isFile());
    EXPECT_EQ(mergedSubjects(), (std::vector<std::string>{"Ancien", "Nouveau"}));

    // The packet reader lists every message of both packets.
    std::ostringstream o, e;
    ASSERT_EQ(runCli({"list", base}, o, e), 0) << e.str();
    const std::string listing = o.str();
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 2) << listing;
    EXPECT_NE(listing.find("0\t1\t"), std::string::npos) << listing;
    EXPECT_NE(listing.find("\tAncien\n"), std::string::npos) << listing;
    EXPECT_NE(listing.find("4\t1\t"), std::string::npos) << listing;
    EXPECT_NE(listing.find("\tNouveau\n"), std::string::npos) << listing;
}

TEST_F(CommandMergeTest, QuestionsAreRefusedUnlessYes) {
    integratedBuilder.control.bbsId = "AUTRE";
    makePackets();
    const QByteArray before = bytesOf(base);
    EXPECT_EQ(run({base, integrated}), 3);
    EXPECT_NE(err.find("Ces deux fichiers QWK ne proviennent pas du même BBS.\n"
                       "Continuer la fusion malgré tout ?"),
              std::string::npos)
        << err;
    EXPECT_EQ(bytesOf(base), before);

    ASSERT_EQ(run({"--yes", base, integrated, "--delete-integrated"}), 0) << err;
    EXPECT_NE(out.find("Continuer la fusion malgré tout ? Oui"), std::string::npos);
    EXPECT_NE(out.find("Fichier intégré effacé : " + integrated.toStdString()), std::string::npos);
    EXPECT_FALSE(QFileInfo::exists(integrated));
    EXPECT_EQ(mergedSubjects(), (std::vector<std::string>{"Ancien", "Nouveau"}));
}

TEST_F(CommandMergeTest, RefusedChecksAndFailures) {
    makePackets();
    const QByteArray before = bytesOf(base);
    // An older packet to integrate asks; so does an extension other than .QWK.
    EXPECT_EQ(run({integrated, base}), 3);
    EXPECT_NE(err.find("Le fichier à intégrer est plus ancien"), std::string::npos) << err;
    QFile::copy(integrated, joinPath(root.path(), "AUTRE.QW1"));
    EXPECT_EQ(run({base, joinPath(root.path(), "AUTRE.QW1")}), 3);
    EXPECT_NE(err.find("Le fichier à intégrer ne porte pas l'extension"), std::string::npos);

    EXPECT_EQ(run({base, base}), 1);
    EXPECT_EQ(err, "Un paquet QWK ne peut pas être fusionner avec lui-même\n");
    EXPECT_EQ(run({base, joinPath(root.path(), "ABSENT.QWK")}), 1);
    EXPECT_EQ(err,
              "Fichier introuvable : " + joinPath(root.path(), "ABSENT.QWK").toStdString() + "\n");
    EXPECT_EQ(run({base}), 2);
    EXPECT_EQ(run({base, integrated, "--oui"}), 2);

    writeFileAtomically(integrated, "pas une archive");
    QFile f(integrated);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
    f.close();
    EXPECT_EQ(run({base, integrated}), 1);
    EXPECT_NE(err.find("Problème lors du décompactage du fichier"), std::string::npos) << err;
    EXPECT_EQ(out, "");
    EXPECT_EQ(bytesOf(base), before);
}

} // namespace velk
