// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/mail/TPrintMessage.h"

#include "mail/MessagePrint.h"
#include "packet/MessageHeader.h"
#include "session/Session.h"
#include "tests/support/ScriptedUiServices.h"

#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

namespace {

// The pages of a PDF: pdfinfo's count where it is installed, else its page objects.
int pdfPageCount(const QString& path) {
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (!pdfinfo.isEmpty()) {
        QProcess p;
        p.start(pdfinfo, {path});
        p.waitForFinished();
        const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                           .match(QString::fromUtf8(p.readAllStandardOutput()));
        if (m.hasMatch())
            return m.captured(1).toInt();
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return int(QString::fromLatin1(f.readAll())
                   .count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

struct PrintFixture : ::testing::Test {
    QTemporaryDir dir;
    Session session;
    ScriptedUiServices ui;
    QPrinter printer{QPrinter::HighResolution};

    void SetUp() override {
        session.packet.control.BbsName = "VELK BBS";
        MessageHeader& h = session.store.CurrentHeader;
        h.date = "12-25-96";
        h.time = "10:30";
        h.author = padRight("JEAN DUPONT", 25);
        h.recipient = padRight("H\x82L\x8ANE MARTIN", 25);
        setUpMessagePrinter(printer);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setOutputFileName(pdf());
    }

    QString pdf() const { return dir.filePath(QStringLiteral("message.pdf")); }

    ExportSource source(int bodyLines) const {
        ExportSource s;
        s.subject = QStringLiteral("Essai d'impression");
        s.conference = QStringLiteral("GENERAL");
        for (int i = 1; i <= bodyLines; ++i)
            s.bodyLines << QStringLiteral("      Ligne %1 du message, café à emporter.").arg(i);
        return s;
    }
};

TEST_F(PrintFixture, PagesFollowTheLinesPerPage) {
    struct Case {
        int bodyLines;
        int pages;
    };
    for (const Case c : {Case{100, 2}, Case{59, 1}, Case{60, 2}, Case{3, 1}}) {
        QFile::remove(pdf());
        ui.answerPrinter(true);
        ASSERT_TRUE(PrintMessage(session, ui, printer, source(c.bodyLines)));
        EXPECT_EQ(pdfPageCount(pdf()), c.pages) << c.bodyLines << " lines";
    }
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(PrintFixture, ThePageReadsAsTheMessage) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    ui.answerPrinter(true);
    ASSERT_TRUE(PrintMessage(session, ui, printer, source(2)));
    QProcess p;
    p.start(pdftotext, {QStringLiteral("-layout"), pdf(), QStringLiteral("-")});
    p.waitForFinished();
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* expected :
         {"BBS:", "VELK BBS", "12-25-96 à 10:30", "HéLèNE MARTIN", "Essai d'impression", "GENERAL",
          "Ligne 1 du message, café à emporter.", "Ligne 2 du message"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();
}

TEST_F(PrintFixture, CancellingThePrintDialogPrintsNothing) {
    ui.answerPrinter(false);
    EXPECT_FALSE(PrintMessage(session, ui, printer, source(10)));
    EXPECT_FALSE(QFile::exists(pdf()));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(PrintFixture, APrinterThatCannotStartShowsAMessage) {
    printer.setOutputFileName(dir.filePath(QStringLiteral("absent/message.pdf")));
    ui.answerPrinter(true);
    EXPECT_FALSE(PrintMessage(session, ui, printer, source(10)));
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Impossible d'imprimer ce message.")});
}

TEST_F(PrintFixture, TheDefaultPageFitsAnA4Sheet) {
    // 67 lines of 80 pixels at 600 dots per inch.
    EXPECT_EQ(printer.resolution(), kPrinterResolution);
    EXPECT_GT(printer.height(), 67 * 80);
}

} // namespace

} // namespace velk
