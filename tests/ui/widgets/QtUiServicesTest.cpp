// SPDX-License-Identifier: GPL-2.0-or-later
// The real dialogs of the Qt services, answered by key events as a user would.
#include "ui/widgets/QtUiServices.h"

#include "core/FileUtil.h"
#include "tests/support/PacketFixture.h"

#include "ui/packet/TListeFiles.h"
#include "ui/widgets/French.h"
#include <QListWidget>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <chrono>
#include <filesystem>
#include <functional>
#include <vector>

namespace velk {

namespace {

// Runs each step on the next modal window that opens, in order.
class ModalSteps {
public:
    explicit ModalSteps(std::vector<std::function<void(QWidget&)>> steps)
        : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal->property("velkStepDone").toBool())
                return;
            modal->setProperty("velkStepDone", true);
            if (next_ < steps_.size())
                steps_[next_++](*modal);
            else
                QTest::keyClick(modal, Qt::Key_Escape);
        });
        timer_.start(10);
    }
    std::size_t done() const { return next_; }

private:
    std::vector<std::function<void(QWidget&)>> steps_;
    std::size_t next_ = 0;
    QTimer timer_;
};

using Services = PacketFixture;

TEST_F(Services, FindBoxOffersThePreviousTextSelectedAndStaysWhereItWasLeft) {
    b.conference(0, "Principal").newFiles("JEU.ZIP  Un jeu de cartes\r\n");
    unpack();
    QtUiServices real{QString()};
    TListeFiles files(s, real);
    files.show();
    const QPoint leftAt(140, 90);
    auto findBox = [](QWidget& box) { return box.findChild<QLineEdit*>(); };
    ModalSteps steps({
        [&](QWidget& box) {
            box.move(leftAt);
            QTest::keyClicks(findBox(box), "zip");
            QTest::keyClick(findBox(box), Qt::Key_Return);
        },
        [&](QWidget& box) {
            EXPECT_EQ(findBox(box)->selectedText(), "zip");
            EXPECT_EQ(box.pos(), leftAt);
            QTest::keyClicks(findBox(box), "yens");
            QTest::keyClick(findBox(box), Qt::Key_Return);
        },
        [&](QWidget& box) {
            auto* message = qobject_cast<QMessageBox*>(&box);
            ASSERT_NE(message, nullptr);
            EXPECT_EQ(message->text(), "Texte non trouvé");
            QTest::keyClick(message, Qt::Key_Return);
        },
        [&](QWidget& box) {
            EXPECT_EQ(findBox(box)->selectedText(), "yens"); // replaced, not "zipyens"
            EXPECT_EQ(box.pos(), leftAt);
            QTest::keyClick(&box, Qt::Key_Escape);
        },
    });
    files.SearchBtnClick();
    EXPECT_EQ(steps.done(), 4u);
    EXPECT_EQ(files.ListFiles->textCursor().selectedText(), "ZIP");
    files.QWidget::setVisible(false);
}

// Qt's file model shows the system locale, here C, unless the dialog is set up in French.
TEST(FrenchDialogs, FileDialogListsFoldersDatesAndSizesInFrench) {
    installFrench(*qApp);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDateTime when(QDate(2026, 12, 7), QTime(15, 48));
    ASSERT_TRUE(QDir(dir.path()).mkdir("COURRIER"));
    writeFileAtomically(dir.filePath("A.QWK"), QByteArray(2000, 'x'));
    const auto stamp =
        std::chrono::file_clock::from_sys(std::chrono::sys_time<std::chrono::milliseconds>(
            std::chrono::milliseconds(when.toMSecsSinceEpoch())));
    for (const char* name : {"COURRIER", "A.QWK"})
        std::filesystem::last_write_time(dir.filePath(name).toStdString(), stamp);
    QtUiServices real{QString()};
    ModalSteps steps({[&](QWidget& dialog) {
        auto* view = dialog.findChild<QTreeView*>();
        ASSERT_NE(view, nullptr);
        const auto row = [&](const QString& name) {
            const QAbstractItemModel* m = view->model();
            for (int i = 0; i < m->rowCount(view->rootIndex()); ++i)
                if (m->index(i, 0, view->rootIndex()).data().toString() == name)
                    return i;
            return -1;
        };
        for (int i = 0; i < 300 && (row("COURRIER") < 0 || row("A.QWK") < 0); ++i)
            QTest::qWait(10);
        const auto cell = [&](const QString& name, int column) {
            return view->model()->index(row(name), column, view->rootIndex()).data().toString();
        };
        EXPECT_EQ(cell("COURRIER", 2), "Dossier");
        EXPECT_EQ(cell("COURRIER", 3), "07/12/2026 15:48");
        EXPECT_EQ(cell("A.QWK", 1), "1,95 ko");
        EXPECT_EQ(cell("A.QWK", 3), "07/12/2026 15:48");
        EXPECT_LE(view->columnViewportPosition(3) + view->columnWidth(3),
                  view->viewport()->width());
        QStringList buttons;
        for (QAbstractButton* b : dialog.findChild<QDialogButtonBox*>()->buttons())
            buttons.append(b->text());
        EXPECT_TRUE(buttons.contains("Annuler")) << buttons.join(", ").toStdString();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    }});
    FileDialogRequest request;
    request.title = QStringLiteral("Ouvrir");
    request.directory = dir.path();
    request.filters = QStringList{QStringLiteral("Tous les fichiers (*)")};
    EXPECT_FALSE(real.openFileName(request));
    EXPECT_EQ(steps.done(), 1u);
    EXPECT_EQ(QLocale().toString(0.5), "0,5");
}

} // namespace

} // namespace velk
