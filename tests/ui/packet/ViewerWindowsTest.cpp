// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/packet/TAffBulletins.h"
#include "ui/packet/TListeBull.h"
#include "ui/packet/TListeFiles.h"
#include "ui/packet/TQWK.h"

#include "tests/support/ViewerTestSupport.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace velk {

namespace {

using namespace viewertest;
using ansitest::cellColour;

const auto* const kFontEnvironment =
    ::testing::AddGlobalTestEnvironment(new ansitest::FontEnvironment);

struct ButtonText {
    QPushButton* button;
    const char* caption;
    const char* hint;
};

void expectButtons(std::initializer_list<ButtonText> buttons) {
    for (const ButtonText& b : buttons) {
        EXPECT_EQ(b.button->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(b.button->toolTip(), QString::fromUtf8(b.hint)) << b.caption;
    }
}

QRgb shownColour(const TAffBulletins& viewer) {
    return cellColour(viewer.Bulletin->pixmap().toImage(), 0, 0).value_or(0x12345678);
}

class ViewerWindowsTest : public PacketFixture {
protected:
    void fullPacket() {
        builder.bulletin("BLT-0.1", kRedScreen).bulletin("BLT-0.2", " deux\r\n");
        builder.bulletin("BLT-0.3", kGreenScreen);
        builder.news(kGreenScreen);
        builder.newFiles("JEU.ZIP  Un jeu de cartes\r\nCOPIE.ZIP  Copie de jeu\r\n");
        unpack();
    }
};

TEST_F(ViewerWindowsTest, CaptionsHintsAndHelp) {
    TListeBull list(ui);
    EXPECT_EQ(list.windowTitle(), "Liste des bulletins");
    EXPECT_EQ(list.size(), QSize(388, 254));
    expectButtons({{list.OKBtn, "&Fermer", "Sortir de la fenêtre"},
                   {list.HelpBtn, "&Aide", "Aide contextuelle"}});
    list.HelpBtn->click();

    TAffBulletins viewer(s, ui);
    expectButtons({{viewer.OKBtn, "&Fermer", "Ferme la fenêtre"},
                   {viewer.CouleursBtn, "&Couleurs plus claires", "Plus clair / Plus foncé"},
                   {viewer.FirstBulBtn, "Premier &Bulletin", "Revenir au premier message"},
                   {viewer.PrevBulBtn, "Bulletin &Préc.", "Aller au message précédent"},
                   {viewer.NextBulBtn, "Bulletin &Suivant", "Aller au message suivant"},
                   {viewer.LastBulBtn, "&Dernier Bulletin", "Aller au dernier message"}});
    EXPECT_EQ(viewer.viewer().image().size(), QSize(641, 200));

    TListeFiles files(s, ui);
    EXPECT_EQ(files.windowTitle(), "Nouveaux Fichiers");
    expectButtons({{files.OKBtn, "&Fermer", "Sortir de la fenêtre"},
                   {files.SearchBtn, "&Chercher", "Chercher un mot"},
                   {files.ExportBtn, "&Exporter", "Exporter la liste des fichiers"},
                   {files.HelpBtn, "&Aide", "Aide contextuelle"}});
    files.HelpBtn->click();

    std::vector<QString> help;
    for (const auto& e : ui.events())
        if (e.kind == ScriptedUiServices::Kind::Help)
            help.push_back(e.text);
    EXPECT_EQ(help, (std::vector<QString>{"1000", "2000"}));
}

TEST_F(ViewerWindowsTest, ButtonsFollowWhatThePacketHolds) {
    builder.bulletin("BLT-0.1", "un\r\n");
    unpack();
    TQWK w(s, ui);
    w.show();
    EXPECT_TRUE(w.BullBtn->isEnabled());
    EXPECT_FALSE(w.NewsBtn->isEnabled());
    EXPECT_FALSE(w.FilesBtn->isEnabled());
    writeFileAtomically(work("NEWS"), "nouvelles\r\n");
    writeFileAtomically(work("newfiles.dat"), "A.ZIP\r\n");
    w.hide();
    w.show();
    EXPECT_TRUE(w.NewsBtn->isEnabled());
    EXPECT_TRUE(w.FilesBtn->isEnabled());
    w.QWidget::setVisible(false);
}

TEST_F(ViewerWindowsTest, BulletinsFromThePacketWindow) {
    fullPacket();
    TQWK w(s, ui);
    w.show();
    QObject* viewerSeen = nullptr;
    ui.onModal("TListeBull", [&](QObject& o) {
        auto& list = static_cast<TListeBull&>(o);
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(list.ListBull->count(), 3);
        EXPECT_EQ(list.ListBull->item(2)->text(), "Bulletin N°3");
        list.ListBull->setCurrentRow(0);
        list.ListBullClick(0);
        EXPECT_EQ(list.ListBull->currentRow(), 2); // where the viewer was left
        return 0;
    });
    ui.onModal("TAffBulletins", [&](QObject& o) {
        auto& viewer = static_cast<TAffBulletins&>(o);
        viewerSeen = &o;
        EXPECT_EQ(viewer.windowTitle(), "Bulletin N°1");
        EXPECT_FALSE(viewer.NextBulBtn->isHidden());
        EXPECT_EQ(shownColour(viewer), qRgb(128, 0, 0));
        viewer.NextBulBtn->click();
        EXPECT_EQ(viewer.windowTitle(), "Bulletin N°2");
        EXPECT_EQ(shownColour(viewer), qRgb(255, 255, 255));
        viewer.LastBulBtn->click();
        EXPECT_EQ(viewer.windowTitle(), "Bulletin N°3");
        EXPECT_EQ(viewer.CouleursBtn->text(), "&Couleurs plus claires");
        viewer.CouleursBtn->click();
        EXPECT_EQ(viewer.CouleursBtn->text(), "Couleurs plus fonçées");
        EXPECT_EQ(shownColour(viewer), qRgb(0, 255, 0));
        return 0;
    });
    w.BullBtn->click();
    EXPECT_TRUE(w.isVisible());
    ASSERT_NE(viewerSeen, nullptr);
    EXPECT_EQ(viewerSeen, w.viewers().AffBulletins); // created once, reused
    EXPECT_TRUE(ui.texts().isEmpty());
    w.QWidget::setVisible(false);
}

TEST_F(ViewerWindowsTest, NewsHidesTheNavigationAndTheColourButtonRedrawsIt) {
    fullPacket();
    TQWK w(s, ui);
    w.show();
    // A bulletin first, in the bright palette: the news must not inherit its drawing.
    TAffBulletins& viewer = *w.viewers().AffBulletins;
    ASSERT_TRUE(viewer.loadBulletin(0));
    viewer.CouleursBtn->click();
    EXPECT_EQ(shownColour(viewer), qRgb(255, 0, 0));
    ui.onModal("TAffBulletins", [&](QObject&) {
        EXPECT_EQ(viewer.windowTitle(), "Nouvelles du Sysop");
        for (QPushButton* b :
             {viewer.FirstBulBtn, viewer.PrevBulBtn, viewer.NextBulBtn, viewer.LastBulBtn})
            EXPECT_TRUE(b->isHidden());
        EXPECT_EQ(shownColour(viewer), qRgb(0, 255, 0));
        viewer.CouleursBtn->click();
        EXPECT_EQ(viewer.CouleursBtn->text(), "Couleurs plus claires");
        EXPECT_EQ(shownColour(viewer), qRgb(0, 128, 0));
        EXPECT_EQ(viewer.viewer().CurrentViewerFile, "NEWS");
        return 0;
    });
    w.NewsBtn->click();
    EXPECT_FALSE(viewer.NextBulBtn->isHidden());
    w.QWidget::setVisible(false);
}

TEST_F(ViewerWindowsTest, OpeningAnotherWindowKeepsTheOpenersModalLoop) {
    fullPacket();
    TQWK w(s, ui);
    bool stillRunning = false;
    ui.onModal("TAffBulletins", [&](QObject&) {
        EXPECT_FALSE(w.isVisible());
        return 0;
    });
    QTimer::singleShot(0, &w, [&] {
        w.NewsBtn->click();
        QTimer::singleShot(0, &w, [&] {
            stillRunning = w.isVisible();
            w.done(7);
        });
    });
    EXPECT_EQ(w.exec(), 7);
    EXPECT_TRUE(stillRunning);

    TListeBull& list = *w.viewers().ListeBull;
    list.fill({"Bulletin N°1", "Bulletin N°2", "Bulletin N°3"});
    stillRunning = false;
    QTimer::singleShot(0, &list, [&] {
        list.ListBullClick(1);
        QTimer::singleShot(0, &list, [&] {
            stillRunning = list.isVisible();
            list.done(7);
        });
    });
    EXPECT_EQ(list.exec(), 7);
    EXPECT_TRUE(stillRunning);
}

TEST_F(ViewerWindowsTest, BulletinTooLargeOrUnreadable) {
    std::string big(65530, 'x');
    builder.bulletin("BLT-0.1", big).bulletin("BLT-0.2", "deux\r\n");
    unpack();
    TQWK w(s, ui);
    TListeBull& list = *w.viewers().ListeBull;
    TAffBulletins& viewer = *w.viewers().AffBulletins;
    int shown = 0;
    ui.onModal("TAffBulletins", [&](QObject&) {
        ++shown;
        EXPECT_TRUE(viewer.Bulletin->pixmap().isNull());
        return 0;
    });
    list.fill({"Bulletin N°1", "Bulletin N°2"});
    list.ListBullClick(0);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(ui.messages(),
              QStringList{"Le fichier " + work("BLT-0.1") + " est trop gros pour être affiché."});

    // A bulletin that cannot be read: its message, and the viewer stays closed.
    ui.clear();
    QFile::remove(work("BLT-0.2"));
    list.ListBullClick(1);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(ui.messages(),
              QStringList{"Problème lors de la lecture du fichier " + work("BLT-0.2")});
    EXPECT_EQ(ui.busyDepth(), 0);
}

TEST_F(ViewerWindowsTest, NewFilesFromThePacketWindow) {
    fullPacket();
    TQWK w(s, ui);
    w.show();
    ui.onModal("TListeFiles", [&](QObject& o) {
        auto& files = static_cast<TListeFiles&>(o);
        files.show();
        EXPECT_EQ(files.ListFiles->toPlainText(),
                  "JEU.ZIP  Un jeu de cartes\nCOPIE.ZIP  Copie de jeu");
        EXPECT_EQ(files.ListFiles->font().family(), "TerminalDOS");
        EXPECT_EQ(files.size(), QSize(800, 600));
        EXPECT_EQ(files.pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
        files.OKBtn->click();
        EXPECT_FALSE(files.isVisible());
        return 0;
    });
    w.FilesBtn->click();
    EXPECT_TRUE(w.isVisible());

    // Gone since the window was activated: the runtime's error, and no list.
    QFile::remove(work("NEWFILES.DAT"));
    w.FilesBtn->click();
    EXPECT_EQ(ui.messages(), QStringList{"Fichier introuvable"});
    int modals = 0;
    for (const auto& e : ui.events())
        modals += e.kind == ScriptedUiServices::Kind::Modal;
    EXPECT_EQ(modals, 1);
    w.QWidget::setVisible(false);
}

class NewFilesWindowTest : public ViewerWindowsTest {
protected:
    void SetUp() override {
        ViewerWindowsTest::SetUp();
        std::string list;
        for (int i = 0; i < 200; ++i)
            list += "FICHIER" + std::to_string(i) + ".ZIP  description\r\n";
        list += "JEU.ZIP  Un jeu de cartes\r\n";
        builder.newFiles(list);
        unpack();
        files = std::make_unique<TListeFiles>(s, ui);
        files->show();
    }
    void TearDown() override { files->hide(); }
    int topLine() const { return files->ListFiles->cursorForPosition(QPoint(2, 2)).blockNumber(); }

    std::unique_ptr<TListeFiles> files;
};

TEST_F(NewFilesWindowTest, SearchSelectsAndBringsTheLineToTheTop) {
    ui.answerFind(FindRequest{"fichier15", false, false, true});
    ui.answerFind(FindRequest{"fichier15", false, false, true});
    ui.answerFind(std::nullopt);
    files->SearchBtn->click();
    EXPECT_EQ(files->ListFiles->textCursor().selectedText(), "FICHIER15");
    EXPECT_EQ(files->ListFiles->textCursor().blockNumber(), 150);
    EXPECT_EQ(topLine(), 150);
    EXPECT_EQ(files->search().lastMatchLine, 150);

    // A new search starts again from the top, and what is not there is said.
    ui.answerFind(FindRequest{"JEU", true, true, true});
    ui.answerFind(FindRequest{"cartes", false, false, false});
    ui.answerFind(std::nullopt);
    files->SearchBtn->click();
    // Whole word at the start of a line, then upward from the top: nothing either time.
    EXPECT_EQ(ui.messages(), (QStringList{"Texte non trouvé", "Texte non trouvé"}));
    EXPECT_EQ(files->ListFiles->textCursor().selectedText(), "FICHIER15"); // unchanged
    ui.answerFind(FindRequest{"cartes", false, false, true});
    ui.answerFind(FindRequest{"FICHIER1", false, false, false});
    ui.answerFind(std::nullopt);
    files->SearchBtn->click();
    EXPECT_EQ(files->ListFiles->textCursor().selectedText(), "FICHIER1");
    EXPECT_EQ(files->ListFiles->textCursor().blockNumber(), 199);
    EXPECT_EQ(ui.messages().size(), 2);
}

TEST_F(NewFilesWindowTest, ExportAppendsWhatIsOnScreen) {
    const QString target = joinPath(s.settings.velkPath, "LISTE.TXT");
    files->ListFiles->setPlainText("A.ZIP  é\nB.ZIP");
    ui.answerSaveFile(target);
    files->ExportBtn->click();
    EXPECT_EQ(ui.lastFileRequest().title, "Exportation d'une liste fichiers");
    EXPECT_EQ(ui.lastFileRequest().directory, s.settings.velkPath);
    EXPECT_EQ(ui.lastFileRequest().fileName, "*.TXT");
    EXPECT_EQ(ui.lastFileRequest().filters, QStringList{"Fichiers texte (*.TXT)"});
    EXPECT_FALSE(ui.lastFileRequest().confirmOverwrite); // the export appends
    ui.answerSaveFile(target);
    files->ExportBtn->click();
    EXPECT_EQ(readWholeFile(target),
              QByteArray("A.ZIP  \xC3\xA9\nB.ZIP\nA.ZIP  \xC3\xA9\nB.ZIP\n"));
    ASSERT_EQ(ui.events().back().kind, ScriptedUiServices::Kind::Message);
    EXPECT_EQ(ui.events().back().text, "Liste de fichiers sauvegardée.");
    EXPECT_EQ(ui.events().back().caption, "Confirmation");

    ui.clear();
    ui.answerSaveFile(std::nullopt);
    files->ExportBtn->click();
    ui.answerSaveFile(joinPath(s.settings.velkPath, "ABSENT/LISTE.TXT"));
    files->ExportBtn->click();
    EXPECT_EQ(ui.messages(), QStringList{"Erreur E/S 3 : impossible d'écrire le fichier \"" +
                                         joinPath(s.settings.velkPath, "ABSENT/LISTE.TXT") +
                                         "\" (dossier introuvable)."});
    EXPECT_TRUE(ui.allAnswersUsed());
}

} // namespace

} // namespace velk
