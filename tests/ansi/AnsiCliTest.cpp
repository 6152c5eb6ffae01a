// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/ansi/AnsiTestSupport.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace ansitest;

namespace {

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

const std::string kScreen = "\x1b[2J\x1b[1;33;44m\xC9\xCD\xCD\xBB\x1b[0m\n"
                            "\x1b[31mrouge\x1b[42m vert \x1b[0m\n\xC8\xCD\xCD\xBC";

TEST(AnsiCli, WritesThePictureTheViewerDraws) {
    for (const bool bright : {false, true}) {
        const auto viewer = render(kScreen, bright);
        ASSERT_TRUE(viewer->shown);
        const QString png = viewer->dir.filePath(QStringLiteral("out.png"));
        QStringList args{QStringLiteral("ansi"), viewer->path, png};
        if (bright)
            args << QStringLiteral("--bright");
        const CliRun run = runCli(kCli, args);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QImage written(png);
        EXPECT_EQ(written.size(), QSize(641, 3 * 16));
        EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), viewer->image) << bright;
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

TEST(AnsiCli, NeedsTheFontBesideTheProgram) {
    QTemporaryDir dir;
    const QString lonely = dir.filePath(QStringLiteral("velk-cli"));
    ASSERT_TRUE(QFile::copy(kCli, lonely));
    const QString screen = dir.filePath(QStringLiteral("BLT-0.1"));
    writeBytes(screen, "bonjour\n");
    const CliRun run =
        runCli(lonely, {QStringLiteral("ansi"), screen, dir.filePath(QStringLiteral("o.png"))});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Police VELKFONT.FON introuvable")))
        << run.err.toStdString();
}

} // namespace
