// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/AnsiTestSupport.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace velk {

using namespace ansitest;

namespace {

const auto* const kFontEnvironment = ::testing::AddGlobalTestEnvironment(new FontEnvironment);
const QString kCli = QStringLiteral(VELK_BINARY_DIR "/velk-cli");

struct CliRun {
    int exitCode = -1;
    QString err;
};

CliRun runCli(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError())};
}

// A welcome screen as boards send them: boxes, colour bars, cursor jumps, DOS accents
// and a description record after the end-of-file mark.
const QString kWelcome = QStringLiteral(VELK_SOURCE_DIR "/tests/packet/data/ACCUEIL.ANS");

std::string fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = f.readAll();
    return data.toStdString();
}

TEST(AnsiCli, WritesThePictureTheViewerDraws) {
    const std::string welcome = fileBytes(kWelcome);
    ASSERT_FALSE(welcome.empty());
    for (const bool bright : {false, true}) {
        const auto viewer = render(welcome, bright);
        ASSERT_TRUE(viewer->shown);
        EXPECT_TRUE(viewer->ui.messages().isEmpty());
        const QString png = viewer->dir.filePath(QStringLiteral("out.png"));
        QStringList args{QStringLiteral("ansi"), kWelcome, png};
        if (bright)
            args << QStringLiteral("--bright");
        const CliRun run = runCli(kCli, args);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QImage written = QImage(png).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(written.size(), QSize(641, 18 * 16));
        EXPECT_EQ(written, viewer->image) << bright;
        // The full-block bar (row 7): text colours 0, 1 and 7 of the chosen palette.
        EXPECT_EQ(cellColour(written, 0, 7), qRgb(0, 0, 0));
        EXPECT_EQ(cellColour(written, 7, 7), bright ? qRgb(255, 0, 0) : qRgb(128, 0, 0));
        EXPECT_EQ(cellColour(written, 55, 7), qRgb(255, 255, 255));
    }
}

TEST(AnsiCli, RefusesMissingAndOversizedFiles) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("out.png"));
    const QString missing = dir.filePath(QStringLiteral("ABSENT.ANS"));
    CliRun run = runCli(kCli, {QStringLiteral("ansi"), missing, png});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(
        run.err.contains(QStringLiteral("Problème lors de la lecture du fichier ") + missing))
        << run.err.toStdString();

    const QString big = dir.filePath(QStringLiteral("BIG.ANS"));
    writeBytes(big, std::string(65530, 'x'));
    run = runCli(kCli, {QStringLiteral("ansi"), big, png});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Le fichier ") + big +
                                 QStringLiteral(" est trop gros pour être affiché.")))
        << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(png));

    run = runCli(kCli, {QStringLiteral("ansi"), big});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Usage : velk-cli ansi")));
}

TEST(AnsiCli, NeedsTheFontAndTheDrawerBesideTheProgram) {
    const struct {
        bool font;
        const char* said;
    } cases[] = {{false, "Police VELKFONT.FON introuvable"},
                 {true, "Programme velk-ansi introuvable à côté de velk-cli"}};
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString lonely = dir.filePath(QStringLiteral("velk-cli"));
        ASSERT_TRUE(QFile::copy(kCli, lonely));
        if (c.font) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(VELK_BINARY_DIR "/VELKFONT.FON"),
                                    dir.filePath(QStringLiteral("VELKFONT.FON"))));
        }
        const QString screen = dir.filePath(QStringLiteral("BLT-0.1"));
        writeBytes(screen, "bonjour\n");
        const CliRun run =
            runCli(lonely, {QStringLiteral("ansi"), screen, dir.filePath(QStringLiteral("o.png"))});
        EXPECT_NE(run.exitCode, 0);
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.said))) << run.err.toStdString();
    }
}

} // namespace

} // namespace velk
