// SPDX-License-Identifier: GPL-2.0-or-later
// The real program, laid out by the install script in a temporary program directory and
// started headless through its test entry point, which answers its message boxes and ends
// once its main window is up.
#include "core/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class EndToEnd : public ::testing::Test {
protected:
    QTemporaryDir temp;
    QString prog;

    void SetUp() override {
        prog = temp.filePath(QStringLiteral("VELK"));
        QProcess install;
        install.start(QStringLiteral("bash"),
                      {QStringLiteral(VELK_SOURCE_DIR "/scripts/install-program.sh"),
                       QStringLiteral(VELK_BINARY_DIR), prog});
        ASSERT_TRUE(install.waitForFinished(60000));
        ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
        // The driver runs from the program directory, as the program does.
        QFile::remove(prog + QStringLiteral("/velk-driver"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VELK_BINARY_DIR "/tests/velk-driver"),
                                prog + QStringLiteral("/velk-driver")));
    }

    ProgramRun start(const QString& workingDirectory, const QStringList& arguments = {}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(workingDirectory);
        p.start(prog + QStringLiteral("/velk-driver"), arguments);
        ProgramRun r;
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            ADD_FAILURE() << "the program did not end";
            return r;
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    ProfileFile settings() const { return ProfileFile(prog + QStringLiteral("/VELK.INI")); }
};

} // namespace

TEST_F(EndToEnd, StartsFromItsProgramDirectory) {
    const ProgramRun r = start(prog);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("VELK\n"));
}

TEST_F(EndToEnd, WithAnArgumentItWorksFromItsOwnDirectory) {
    // The packet is looked for from the program directory, where there is none: the
    // opening says so and the main window comes back.
    const ProgramRun r = start(temp.path(), {QStringLiteral("DEMO.QWK")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Problème lors du décompactage du fichier :\"") +
                               temp.path() + QStringLiteral("/DEMO.QWK\" .")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("\nVELK\n"))) << r.out.toStdString();
}

TEST_F(EndToEnd, WithoutArgumentItLooksInTheCurrentDirectory) {
    const ProgramRun r = start(temp.path());
    EXPECT_EQ(r.exitCode, 1);
    const QString message = QStringLiteral("Impossible de trouver le fichier de fonte "
                                           "(VELKFONT.FON)\n dans le répertoire courant :\n") +
                            temp.path() + QStringLiteral("/\n\nProgramme terminé.");
    EXPECT_TRUE(r.err.contains(message)) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(message)) << r.out.toStdString(); // shown in its message box
}

TEST_F(EndToEnd, FirstUseOpensTheDirectoriesDialog) {
    settings().writeString(QStringLiteral("Divers"), QStringLiteral("FirstUse"),
                           QStringLiteral("1"));
    ProgramRun r = start(prog);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Configuration\n"))) << r.out.toStdString();
    EXPECT_EQ(settings().readString(QStringLiteral("Divers"), QStringLiteral("FirstUse")),
              QStringLiteral("0"));
    r = start(prog);
    EXPECT_EQ(r.out, QStringLiteral("VELK\n"));
}

TEST_F(EndToEnd, MissingFilesAndDirectoriesEndTheProgram) {
    QFile::remove(prog + QStringLiteral("/AMIS.INI"));
    ProgramRun r = start(prog);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Copiez un exemplaire de AMIS.INI dans le "
                                              "répertoire cité.")))
        << r.err.toStdString();

    // The install script puts back only what is missing.
    settings().writeString(QStringLiteral("Divers"), QStringLiteral("MaxCar"),
                           QStringLiteral("72"));
    SetUp();
    EXPECT_TRUE(QFile::exists(prog + QStringLiteral("/AMIS.INI")));
    EXPECT_EQ(settings().readString(QStringLiteral("Divers"), QStringLiteral("MaxCar")),
              QStringLiteral("72"));

    QDir(prog + QStringLiteral("/REP")).removeRecursively();
    r = start(prog);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Le répertoire \"") + prog +
                               QStringLiteral("/REP\" n'existe pas.\nLa modification manuelle "
                                              "de VELK.INI est nécessaire.")))
        << r.err.toStdString();
}

} // namespace velk
