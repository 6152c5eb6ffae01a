// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/merge/TFusion.h"

#include "core/Archiver.h"
#include "core/FileUtil.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "session/StartUp.h"
#include "tests/support/ButtonCaptions.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ModalSteps.h"
#include "tests/support/ProgramDir.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/ZipWriter.h"
#include "ui/main/TForm1.h"
#include "ui/main/Windows.h"
#include "ui/merge/TWaitFusion.h"
#include "ui/widgets/QtUiServices.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

namespace velk {

namespace {

const QString kDone = QStringLiteral("La fusion des deux paquets QWK s'est déroulée correctement.");

QStringList itemsOf(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

void choose(QListWidget* list, const QString& name) {
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    list->setCurrentItem(found.first());
}

QString folderOf(const QTreeView* tree) {
    return static_cast<const QFileSystemModel*>(tree->model())->filePath(tree->currentIndex());
}

// The text of the Statut label each time it is painted, repeats left out.
class PaintedTexts : public QObject {
public:
    explicit PaintedTexts(QLabel* label) : label_(label) { label->installEventFilter(this); }
    QStringList texts;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !label_->text().isEmpty() &&
            (texts.isEmpty() || texts.constLast() != label_->text()))
            texts.append(label_->text());
        return false;
    }

private:
    QLabel* label_;
};

class TFusionTest : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session s;
    ScriptedUiServices ui;
    TWaitFusion wait;
    std::unique_ptr<TFusion> w;
    PacketBuilder baseBuilder, integratedBuilder;
    QString base, integrated;

    QString dir(const QString& name) const { return dirs.dir(name); }
    void SetUp() override {
        dirs.configure(s);
        w = std::make_unique<TFusion>(s, ui, wait);
        base = joinPath(dir("QWK"), "VELKTEST.QWK");
        integrated = joinPath(dir("QWK"), "NOUVEAU.QWK");
        baseBuilder.conference(0, "Principal").conference(1, "Annonces");
        baseBuilder.add(0, "Bienvenue", "Bonjour a tous\n");
        baseBuilder.add(1, "Nouveau serveur", "Il tourne\n");
        integratedBuilder.conference(0, "Principal").conference(1, "Annonces");
        integratedBuilder.add(0, "Re: Bienvenue", "Merci\n");
    }
    void makePackets() {
        baseBuilder.zipTo(base);
        integratedBuilder.zipTo(integrated);
        const QDateTime when(QDate(2021, 3, 4), QTime(10, 20, 30));
        for (const auto& [path, stamp] : {std::pair{base, when}, {integrated, when.addDays(1)}}) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            ASSERT_TRUE(f.setFileTime(stamp, QFileDevice::FileModificationTime));
        }
    }
    // Shown as a modal run shows it, with both packets chosen.
    void showAndChoose() {
        w->show();
        choose(w->SourceFileListBox, "VELKTEST.QWK");
        choose(w->DestFileListBox, "NOUVEAU.QWK");
    }
    // What the window shows, or would show once on screen.
    bool shows(const QWidget* part) const { return part->isVisibleTo(w.get()); }
    void expectNormalLayout() const {
        EXPECT_TRUE(shows(w->FusionBtn));
        EXPECT_TRUE(shows(w->CancelBtn));
        EXPECT_TRUE(shows(w->HelpBtn));
        EXPECT_FALSE(shows(w->CloseBtn));
        EXPECT_FALSE(shows(w->NoticeMemo));
        EXPECT_TRUE(shows(w->SourceFileListBox));
        EXPECT_TRUE(shows(w->DestDirectoryListBox));
    }
    void expectClosedAfterMerge() const {
        EXPECT_FALSE(w->isVisible());
        EXPECT_FALSE(wait.isVisible());
        EXPECT_EQ(ui.busyDepth(), 0);
        expectNormalLayout();
    }
};

} // namespace

TEST_F(TFusionTest, CaptionsHintsAndNormalLayout) {
    EXPECT_EQ(w->windowTitle(), "Fusion de paquets QWK");
    EXPECT_EQ(w->Label1->text(), "Paquet QWK à intégrer :");
    EXPECT_EQ(w->Label2->text(), "Paquet QWK servant de base d'intégration :");
    expectButtons({
        {w->FusionBtn, "&Fusion", "Valider ce message"},
        {w->CancelBtn, "Ann&uler", "Annuler ce message"},
        {w->HelpBtn, "&Aide", "Aide contextuelle"},
        {w->CloseBtn, "&Fermer", "Valider ce message"},
    });
    for (QComboBox* filter : {w->SourceFilterComboBox, w->DestFilterComboBox}) {
        ASSERT_EQ(filter->count(), 2);
        EXPECT_EQ(filter->itemText(0), "Fichiers QWK (*.Q*)");
        EXPECT_EQ(filter->itemData(0).toString(), "*.Q*");
        EXPECT_EQ(filter->itemText(1), "Tous les fichiers (*.*)");
        EXPECT_EQ(filter->itemData(1).toString(), "*.*");
    }
    EXPECT_EQ(w->NoticeMemo->minimumSize(), QSize(400, 360));
    EXPECT_EQ(w->NoticeMemo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(w->NoticeMemo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    expectNormalLayout();

    EXPECT_EQ(wait.windowTitle(), "   ");
    EXPECT_EQ(wait.Label1->text(), "Fusion en cours. Veuillez patienter ...");
    EXPECT_EQ(wait.Label1->font().pixelSize(), 16);
    EXPECT_FALSE(wait.Image1->pixmap().isNull());
    EXPECT_EQ(wait.Statut->minimumSize(), QSize(249, 33));
    EXPECT_TRUE(wait.Statut->alignment() & Qt::AlignHCenter);
    EXPECT_FALSE(wait.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(wait.windowFlags() & Qt::WindowSystemMenuHint);
}

TEST_F(TFusionTest, HelpAndCancel) {
    w->show();
    w->HelpBtn->click();
    ASSERT_EQ(ui.events().size(), 1u);
    EXPECT_EQ(ui.events()[0].kind, ScriptedUiServices::Kind::Help);
    EXPECT_EQ(ui.events()[0].text, "10000");
    w->CancelBtn->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->result(), QDialog::Rejected);
}

TEST_F(TFusionTest, ActivationPointsBothHalvesAtTheQwkFolder) {
    for (const char* name : {"VELKTEST.QWK", "AUTRE.QW1", "notes.txt"})
        writeFileAtomically(joinPath(dir("QWK"), QString::fromLatin1(name)), "x");
    const QString other = dir("REP");
    writeFileAtomically(joinPath(other, "ANCIEN.QWK"), "x");
    // Where the user left both halves last time.
    w->show();
    w->SourceDirectoryListBox->setCurrentIndex(
        static_cast<QFileSystemModel*>(w->SourceDirectoryListBox->model())->index(other));
    w->DestFilterComboBox->setCurrentIndex(1);
    EXPECT_EQ(w->SourceDirectory(), other);
    EXPECT_EQ(itemsOf(w->SourceFileListBox), QStringList({"ANCIEN.QWK"}));
    w->hide();

    w->show();
    for (const auto& [tree, files, filter, folder, mask] :
         {std::tuple{w->SourceDirectoryListBox, w->SourceFileListBox, w->SourceFilterComboBox,
                     w->SourceDirectory(), w->SourceMask()},
          std::tuple{w->DestDirectoryListBox, w->DestFileListBox, w->DestFilterComboBox,
                     w->DestDirectory(), w->DestMask()}}) {
        EXPECT_EQ(folder, dir("QWK"));
        EXPECT_EQ(folderOf(tree), dir("QWK"));
        EXPECT_EQ(mask, "*.Q*");
        EXPECT_EQ(filter->currentIndex(), 0);
        EXPECT_EQ(itemsOf(files), QStringList({"AUTRE.QW1", "VELKTEST.QWK"}));
        EXPECT_TRUE(files->selectedItems().isEmpty());
    }
    EXPECT_TRUE(w->SourceFileName().isEmpty());
    EXPECT_TRUE(w->DestFileName().isEmpty());
}

TEST_F(TFusionTest, FilterAndFolderChangesRefillTheirOwnList) {
    for (const char* name : {"VELKTEST.QWK", "notes.txt", "LISEZMOI"})
        writeFileAtomically(joinPath(dir("QWK"), QString::fromLatin1(name)), "x");
    w->show();
    w->DestFilterComboBox->setCurrentIndex(1);
    EXPECT_EQ(w->DestMask(), "*.*");
    EXPECT_EQ(itemsOf(w->DestFileListBox), QStringList({"LISEZMOI", "notes.txt", "VELKTEST.QWK"}));
    EXPECT_EQ(itemsOf(w->SourceFileListBox), QStringList({"VELKTEST.QWK"}));
    w->DestFilterComboBox->setCurrentIndex(0);
    EXPECT_EQ(itemsOf(w->DestFileListBox), QStringList({"VELKTEST.QWK"}));

    const QString archive = dir("QWK/ARCHIVE");
    QDir().mkpath(archive);
    writeFileAtomically(joinPath(archive, "ANCIEN.QWK"), "x");
    w->SourceDirectoryListBox->setCurrentIndex(
        static_cast<QFileSystemModel*>(w->SourceDirectoryListBox->model())->index(archive));
    EXPECT_EQ(itemsOf(w->SourceFileListBox), QStringList({"ANCIEN.QWK"}));
    EXPECT_EQ(itemsOf(w->DestFileListBox), QStringList({"VELKTEST.QWK"}));
    choose(w->SourceFileListBox, "ANCIEN.QWK");
    EXPECT_EQ(w->SourceFileName(), joinPath(archive, "ANCIEN.QWK"));
}

TEST_F(TFusionTest, RefusedChecksFocusTheNamedList) {
    makePackets();
    QFile::copy(integrated, joinPath(dir("QWK"), "AUTRE.QW1"));
    struct Case {
        const char* source;
        const char* dest;
        std::optional<bool> answer;
        QString text;
        QListWidget* focus;
    };
    const Case cases[] = {
        {nullptr,
         nullptr,
         {},
         "Vous devez choisir un fichier QWK  servant de cible",
         w->SourceFileListBox},
        {"VELKTEST.QWK",
         nullptr,
         {},
         "Vous devez choisir un fichier QWK à intégrer",
         w->DestFileListBox},
        {"VELKTEST.QWK",
         "VELKTEST.QWK",
         {},
         "Un paquet QWK ne peut pas être fusionner avec lui-même",
         w->DestFileListBox},
        {"AUTRE.QW1", "NOUVEAU.QWK", false,
         "Le fichier cible ne porte pas l'extension \".QWK\" .\nContinuer la fusion malgré tout ?",
         w->SourceFileListBox},
        {"VELKTEST.QWK", "AUTRE.QW1", false,
         "Le fichier à intégrer ne porte pas l'extension \".QWK\" .\nContinuer la fusion malgré "
         "tout ?",
         w->DestFileListBox},
    };
    const QByteArray baseBytes = readWholeFile(base);
    for (const Case& c : cases) {
        ui.clear();
        w->show();
        // Focus elsewhere, so that the check is what moves it.
        w->CancelBtn->setFocus();
        if (c.source)
            choose(w->SourceFileListBox, QString::fromLatin1(c.source));
        if (c.dest)
            choose(w->DestFileListBox, QString::fromLatin1(c.dest));
        if (c.answer)
            ui.answerYesNo(*c.answer);
        w->FusionBtn->click();
        EXPECT_EQ(ui.texts(), QStringList({c.text}));
        EXPECT_EQ(w->focusWidget(), c.focus) << c.text.toStdString();
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(wait.isVisible());
        expectNormalLayout();
        w->hide();
    }
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_EQ(readWholeFile(base), baseBytes);
}

TEST_F(TFusionTest, MergeWithNoticesShowsThemUntilClose) {
    integratedBuilder.conference(7, "Musique");
    integratedBuilder.add(7, "Guitare", "Accords\n");
    makePackets();
    const QByteArray baseBytes = readWholeFile(base);
    const QDateTime baseTime = QFileInfo(base).lastModified();
    PaintedTexts painted(wait.Statut);
    showAndChoose();
    ui.answerYesNo(false); // keep the integrated packet
    w->FusionBtn->click();

    EXPECT_EQ(painted.texts, QStringList({"Décompactage du premier paquet\n (" + base + ")",
                                          "Décompactage du deuxième paquet\n (" + integrated + ")",
                                          "Mise à jour des fichiers de données et d'index",
                                          "Mise à jour des conférences",
                                          "Compactage du fichier fusionné \n (" + base + ")"}));
    EXPECT_EQ(ui.texts(),
              QStringList({kDone, "Peut-on effacer le fichier intégré ?\n(" + integrated + ")"}));
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_NE(readWholeFile(base), baseBytes);
    EXPECT_EQ(QFileInfo(base).lastModified(), baseTime);
    EXPECT_TRUE(QFileInfo::exists(integrated));
    EXPECT_FALSE(wait.isVisible());
    EXPECT_TRUE(wait.Statut->text().isEmpty());
    EXPECT_EQ(ui.busyDepth(), 0);

    // Back on screen with "&Fermer" alone and the notices.
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(shows(w->FusionBtn));
    EXPECT_FALSE(shows(w->CancelBtn));
    EXPECT_FALSE(shows(w->HelpBtn));
    EXPECT_TRUE(shows(w->CloseBtn));
    EXPECT_TRUE(shows(w->NoticeMemo));
    EXPECT_FALSE(shows(w->SourceFileListBox));
    EXPECT_FALSE(shows(w->DestDirectoryListBox));
    EXPECT_EQ(w->NoticeMemo->toPlainText(),
              "La conférence \"Musique\" a été ajoutée depuis la dernière fusion.");

    w->CloseBtn->click();
    expectClosedAfterMerge();
    EXPECT_EQ(w->result(), QDialog::Accepted);
}

TEST_F(TFusionTest, MergeWithoutNoticeClosesTheWindow) {
    makePackets();
    showAndChoose();
    ui.answerYesNo(true); // delete the integrated packet
    w->FusionBtn->click();
    EXPECT_EQ(ui.texts().value(0), kDone);
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_FALSE(QFileInfo::exists(integrated));
    expectClosedAfterMerge();
    EXPECT_EQ(w->result(), QDialog::Accepted);
}

TEST_F(TFusionTest, FailedMergeClosesTheWindow) {
    makePackets();
    writeFileAtomically(integrated, "pas une archive");
    QFile f(integrated);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2022, 1, 1), QTime(0, 0)),
                              QFileDevice::FileModificationTime));
    f.close();
    const QByteArray baseBytes = readWholeFile(base);
    showAndChoose();
    w->FusionBtn->click();
    ASSERT_FALSE(ui.messages().isEmpty());
    EXPECT_TRUE(ui.messages().constLast().endsWith("Fusion annulée."))
        << ui.messages().constLast().toStdString();
    EXPECT_EQ(readWholeFile(base), baseBytes);
    expectClosedAfterMerge();
    EXPECT_EQ(w->result(), QDialog::Rejected);
}

TEST_F(TFusionTest, AMemberNamedInNoUtf8IsKeptThroughTheRealMessageBoxes) {
    makePackets();
    ZipWriter z;
    z.addAll(baseBuilder.files());
    z.add("BULL\x82TIN.TXT", "Bulletin");
    z.writeTo(base);
    QFile older(base);
    ASSERT_TRUE(older.open(QIODevice::ReadWrite) &&
                older.setFileTime(QDateTime(QDate(2021, 3, 4), QTime(0, 0)),
                                  QFileDevice::FileModificationTime));
    QtUiServices real{QString()};
    TFusion fusion(s, real, wait);
    fusion.show();
    choose(fusion.SourceFileListBox, "VELKTEST.QWK");
    choose(fusion.DestFileListBox, "NOUVEAU.QWK");
    ModalSteps steps;
    QStringList texts;
    for (int box = 0; box < 2; ++box) // OK, then Escape: the question's "&Non"
        steps.then("QMessageBox", [&texts](QWidget& dialog) {
            texts.append(static_cast<QMessageBox&>(dialog).text());
            static_cast<QMessageBox&>(dialog).reject();
        });
    fusion.FusionBtn->click();
    EXPECT_TRUE(steps.done());
    EXPECT_EQ(texts,
              QStringList({kDone, "Peut-on effacer le fichier intégré ?\n(" + integrated + ")"}));
    QTemporaryDir opened;
    ASSERT_TRUE(unpackArchive(base, opened.path()).ok());
    // Unpacking gives the member a readable name; its bytes are what was kept.
    QStringList bulletins = QDir(opened.path()).entryList({QStringLiteral("BULL*TIN.TXT")});
    ASSERT_EQ(bulletins.size(), 1) << bulletins.join(' ').toStdString();
    EXPECT_EQ(readWholeFile(opened.path() + '/' + bulletins[0]), QByteArray("Bulletin"));
}

TEST_F(TFusionTest, AnyWayOutOfTheNoticesLeavesTheNormalLayout) {
    w->show();
    w->setNoticeLayout();
    wait.show();
    w->reject(); // Escape or the close box
    EXPECT_FALSE(wait.isVisible());
    w->show();
    expectNormalLayout();
}

TEST(TFusionMenu, OpensTheMergeWindowWhileTheMainWindowHides) {
    ProgramDir dir;
    dir.makeWorkingLayout();
    writeFileAtomically(dir.path(QStringLiteral("QWK/VELKTEST.QWK")), "x");
    ScriptedUiServices ui;
    ASSERT_FALSE(REPORTED_TO(ui, InitDivers(dir.session, said)).has_value());
    const auto windows = createWindows(dir.session, ui);
    ASSERT_TRUE(windows->WaitFusion);
    TForm1& form = *windows->Form1;
    form.show();
    ASSERT_TRUE(form.FusiondepaquetsQWK2->isEnabled());
    bool shown = false;
    ui.onModal("TFusion", [&](QObject& window) {
        auto& fusion = static_cast<TFusion&>(window);
        EXPECT_EQ(&fusion, windows->Fusion.get());
        EXPECT_FALSE(form.isVisible());
        fusion.show();
        EXPECT_EQ(fusion.SourceDirectory(), dir.path(QStringLiteral("QWK")));
        EXPECT_EQ(itemsOf(fusion.DestFileListBox), QStringList({"VELKTEST.QWK"}));
        shown = true;
        fusion.CancelBtn->click();
        return fusion.result();
    });
    form.FusiondepaquetsQWK2->trigger();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(form.isVisible());
}

} // namespace velk
