// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/DosFont.h"
#include "core/FileUtil.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/Typing.h"
#include "ui/library/TListe.h"
#include "ui/library/TParam1.h"
#include "ui/library/TParam2.h"
#include "ui/library/TParam3.h"
#include "ui/library/TParam4.h"
#include "ui/main/TForm1.h"
#include "ui/main/Windows.h"
#include "ui/widgets/DosTextBox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace velk {

namespace {

std::string entry(const std::string& text, bool isDefault = false) {
    return std::string("\xAE") + (isDefault ? "\xAD" : "") + text + "\xAF\r\n";
}

QByteArray bytes(const std::string& s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

class LibraryEditorsUiTest : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session session;
    ScriptedUiServices ui;
    std::unique_ptr<Windows> windows;

    void SetUp() override {
        dirs.configure(session);
        windows = createWindows(session, ui);
        windows->Form1->show();
    }
    QString path(LibraryKind kind) const { return LibraryPath(session.settings.velkPath, kind); }
    void write(LibraryKind kind, const std::string& content) {
        writeFileAtomically(path(kind), bytes(content));
    }
    QByteArray onDisk(LibraryKind kind) const { return readWholeFile(path(kind)); }
};

} // namespace

TEST_F(LibraryEditorsUiTest, EachMenuEntryOpensItsEditorWithTheMainWindowHidden) {
    struct Case {
        QAction* entry;
        const char* className;
        QString caption;
        QString newHint;
        QString deleteHint;
        int help;
        LibraryKind kind;
        QString firstItem;
    } const cases[] = {
        {windows->Form1->Entetes1, "TParam1", QStringLiteral("Entêtes des messages"),
         QStringLiteral("Nouvel en-ête"), QStringLiteral("Efface l'en-tête"), 9001,
         LibraryKind::Headers, QStringLiteral("Bonjour %PRENOM_DEST%,")},
        {windows->Form1->PieddePage1, "TParam2", QStringLiteral("Pieds de page des messages"),
         QStringLiteral("Créer pied de page"), QStringLiteral("Efface le pied de page"), 9002,
         LibraryKind::Footers, QStringLiteral("Amicalement,")},
        {windows->Form1->TagLine1, "TParam3", QStringLiteral("TagLines des messages"),
         QStringLiteral("Nouvelle tagline"), QStringLiteral("Effacer tagline"), 9003,
         LibraryKind::Taglines, QStringLiteral(">>> VELK : Le meilleur Reade")},
        {windows->Form1->Correspondants1, "TParam4", QStringLiteral("Correspondants fréquents"),
         QStringLiteral("Créer correspondant"), QStringLiteral("Efacer correspondant"), 9004,
         LibraryKind::Correspondents, QStringLiteral("ALL")},
    };
    for (const Case& c : cases) {
        bool ran = false;
        ui.onModal(c.className, [&](QObject& w) {
            auto& editor = static_cast<TLibraryEditor&>(w);
            ran = true;
            EXPECT_FALSE(windows->Form1->isVisible());
            EXPECT_EQ(editor.windowTitle(), c.caption);
            EXPECT_EQ(editor.NewBtn->text(), QStringLiteral("&Nouveau"));
            EXPECT_EQ(editor.NewBtn->toolTip(), c.newHint);
            EXPECT_EQ(editor.DelBtn->text(), QStringLiteral("&Effacer"));
            EXPECT_EQ(editor.DelBtn->toolTip(), c.deleteHint);
            EXPECT_EQ(editor.OKBtn->text(), QStringLiteral("&Fermer"));
            EXPECT_EQ(editor.OKBtn->toolTip(), QStringLiteral("Sortir de la fenêtre"));
            EXPECT_EQ(editor.HelpBtn->toolTip(), QStringLiteral("Aide contextuelle"));
            EXPECT_EQ(editor.Label1->text(), QStringLiteral("Sélection :"));
            EXPECT_EQ(editor.Choix->font().family(), kDosFontFamily);
            EXPECT_EQ(editor.Texte->font().family(), kDosFontFamily);
            EXPECT_EQ(editor.Choix->count(), 1);
            EXPECT_EQ(editor.Choix->itemText(0), c.firstItem);
            const bool library = c.kind != LibraryKind::Correspondents;
            EXPECT_EQ(editor.MacroBox != nullptr, library);
            EXPECT_EQ(editor.Default != nullptr, library);
            if (library) {
                EXPECT_EQ(editor.MacroBox->count(), 11);
                EXPECT_EQ(editor.MacroBox->itemText(10), QStringLiteral("%NOM_AUTEUR%"));
                EXPECT_EQ(editor.MacroBox->font().family(), kDosFontFamily);
                EXPECT_EQ(editor.Default->text(), QStringLiteral("Choix par défaut"));
                EXPECT_TRUE(editor.Default->isChecked());
            }
            editor.HelpBtn->click();
            editor.OKBtn->click();
            return editor.result();
        });
        c.entry->trigger();
        EXPECT_TRUE(ran) << c.className;
        EXPECT_TRUE(windows->Form1->isVisible());
        EXPECT_EQ(ui.events().back().kind, ScriptedUiServices::Kind::Help);
        EXPECT_EQ(ui.events().back().text, QString::number(c.help));
        // The built-in entry shown is written when the editor closes.
        EXPECT_EQ(onDisk(c.kind), bytes(BuiltInLibraryContent(c.kind)));
    }
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(LibraryEditorsUiTest, TypedAccentsAreStoredAsDosBytes) {
    write(LibraryKind::Headers, entry("Bonjour\r\n", true));
    ui.onModal("TParam1", [&](QObject& w) {
        auto& editor = static_cast<TParam1&>(w);
        editor.NewBtn->click();
        EXPECT_EQ(editor.Choix->count(), 0);
        EXPECT_FALSE(editor.Default->isChecked());
        type(editor.Texte, QStringLiteral("Élève à ça\n«cité» ¡\tfin"));
        EXPECT_EQ(editor.Texte->toPlainText(), QStringLiteral("Élève à ça\n\"cité\" !\tfin"));
        editor.OKBtn->click();
        return 1;
    });
    windows->Form1->Entetes1->trigger();
    EXPECT_EQ(onDisk(LibraryKind::Headers),
              bytes(entry("Bonjour\r\n", true) + entry("\x90l\x8Ave \x85 \x87"
                                                       "a\r\n\"cit\x82\" !\tfin\r\n")));
}

TEST_F(LibraryEditorsUiTest, ATaglineTakesAtMost80Characters) {
    write(LibraryKind::Taglines, entry("t\r\n"));
    ui.onModal("TParam3", [&](QObject& w) {
        auto& editor = static_cast<TParam3&>(w);
        editor.NewBtn->click();
        type(editor.Texte, QString(78, QLatin1Char('a')) + QStringLiteral("\nbcdefg"));
        EXPECT_EQ(editor.Texte->toPlainText(),
                  QString(78, QLatin1Char('a')) + QStringLiteral("\n"));
        editor.Texte->clear();
        type(editor.Texte, QString(85, QChar(0xE9)));
        editor.OKBtn->click();
        return 1;
    });
    windows->Form1->TagLine1->trigger();
    EXPECT_EQ(onDisk(LibraryKind::Taglines),
              bytes(entry("t\r\n") + entry(std::string(80, '\x82') + "\r\n")));
}

TEST_F(LibraryEditorsUiTest, CorrespondentNamesAreTypedInCapitals) {
    write(LibraryKind::Correspondents, entry("ALL;4\r\n"));
    ui.onModal("TParam4", [&](QObject& w) {
        auto& editor = static_cast<TParam4&>(w);
        editor.NewBtn->click();
        type(editor.Texte, QStringLiteral("dupont é"));
        editor.OKBtn->click();
        return 1;
    });
    windows->Form1->Correspondants1->trigger();
    EXPECT_EQ(onDisk(LibraryKind::Correspondents),
              bytes(entry("ALL;4\r\n") + entry("DUPONT \x90;1\r\n")));
}

TEST_F(LibraryEditorsUiTest, PasteAndMacrosNeverBringMarkersNorTouchTheClipboard) {
    write(LibraryKind::Footers, entry("A+\r\n"));
    ui.onModal("TParam2", [&](QObject& w) {
        auto& editor = static_cast<TParam2&>(w);
        editor.Texte->moveCursor(QTextCursor::End);
        QApplication::clipboard()->setText(QStringLiteral("\r\n«collé» ¡§"));
        editor.Texte->paste();
        editor.MacroBox->setCurrentIndex(5);
        Q_EMIT editor.MacroBox->activated(5);
        EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("\r\n«collé» ¡§"));
        editor.OKBtn->click();
        return 1;
    });
    windows->Form1->PieddePage1->trigger();
    EXPECT_EQ(onDisk(LibraryKind::Footers),
              bytes(entry("A+\r\n\"coll\x82\" !\x15%PRENOM_DEST%\r\n")));
}

TEST_F(LibraryEditorsUiTest, SwitchingDeletingAndTheDefaultMark) {
    write(LibraryKind::Footers,
          entry("un\r\n", true) + entry("deux\r\n") + entry("trois\r\n") + entry("quatre\r\n"));
    ui.onModal("TParam2", [&](QObject& w) {
        auto& editor = static_cast<TParam2&>(w);
        // The second entry made the default and changed.
        editor.Choix->setCurrentIndex(1);
        Q_EMIT editor.Choix->activated(1);
        EXPECT_EQ(editor.Texte->toPlainText(), QStringLiteral("deux"));
        EXPECT_FALSE(editor.Default->isChecked());
        editor.Default->setChecked(true);
        editor.Texte->moveCursor(QTextCursor::End);
        type(editor.Texte, QStringLiteral("!"));
        // The third deleted after a refusal: the fourth is shown next.
        editor.Choix->setCurrentIndex(2);
        Q_EMIT editor.Choix->activated(2);
        ui.answerYesNo(false);
        editor.DelBtn->click();
        EXPECT_EQ(editor.Choix->count(), 4);
        ui.answerYesNo(true);
        editor.DelBtn->click();
        EXPECT_EQ(editor.Choix->count(), 3);
        EXPECT_EQ(editor.Choix->currentIndex(), 2);
        EXPECT_EQ(editor.Texte->toPlainText(), QStringLiteral("quatre"));
        // Closed with the window's close box rather than "&Fermer": saved all the same.
        editor.reject();
        return editor.result();
    });
    windows->Form1->PieddePage1->trigger();
    EXPECT_EQ(onDisk(LibraryKind::Footers),
              bytes(entry("un\r\n") + entry("deux!\r\n", true) + entry("quatre\r\n")));
    EXPECT_EQ(ui.texts(), (QStringList{QStringLiteral("Confirmez-vous l'effacement ?"),
                                       QStringLiteral("Confirmez-vous l'effacement ?")}));
    // The list in memory is the file again once the editor is gone.
    EXPECT_EQ(session.libraries.FooterList.size(), 3u);
}

TEST_F(LibraryEditorsUiTest, DeletingTheLastEntryEmptiesTheFileAndCloses) {
    write(LibraryKind::Taglines, entry("seule\r\n", true));
    bool closed = false;
    ui.onModal("TParam3", [&](QObject& w) {
        auto& editor = static_cast<TParam3&>(w);
        ui.answerYesNo(true);
        editor.DelBtn->click();
        closed = editor.result() == QDialog::Accepted;
        return editor.result();
    });
    windows->Form1->TagLine1->trigger();
    EXPECT_TRUE(closed);
    EXPECT_EQ(ui.messages(),
              QStringList{QStringLiteral("Vous venez d'effacer la derniere TagLine")});
    EXPECT_EQ(onDisk(LibraryKind::Taglines), QByteArray());
    ASSERT_EQ(session.libraries.TaglineList.size(), 1u);
    EXPECT_EQ(session.libraries.TaglineList[0].text,
              ">>> VELK : Le meilleur Reader Off-Line sous Windows ! <<<\r\n");
}

TEST_F(LibraryEditorsUiTest, ATooBigFileIsNeitherShownNorOverwritten) {
    const std::string big = entry(std::string(70000, 'h') + "\r\n");
    write(LibraryKind::Headers, big);
    windows->Form1->Entetes1->trigger();
    EXPECT_EQ(ui.messages(),
              QStringList{QStringLiteral("Le fichier ") + path(LibraryKind::Headers) +
                          QStringLiteral(" est trop gros (>64Ko)")});
    EXPECT_EQ(onDisk(LibraryKind::Headers), bytes(big));
}

TEST_F(LibraryEditorsUiTest, ChooserClosedWithFermerChoosesNothing) {
    write(LibraryKind::Taglines, entry("b\r\n") + entry("a\r\n"));
    TListe& liste = *windows->Liste;
    ui.onModal("TListe", [&](QObject&) {
        EXPECT_EQ(liste.windowTitle(), QStringLiteral("Choix d'une tagline"));
        EXPECT_FALSE(liste.TriBtn->isHidden());
        EXPECT_EQ(liste.TriBtn->text(), QStringLiteral("Tri alphabétique"));
        EXPECT_EQ(liste.ConfigBtn->toolTip(), QStringLiteral("Gestion de la liste"));
        EXPECT_EQ(liste.ListeElem->font().family(), kDosFontFamily);
        EXPECT_EQ(liste.ListeElem->count(), 2);
        liste.OKBtn->click();
        return liste.result();
    });
    EXPECT_FALSE(liste.Choose(LibraryKind::Taglines));
}

TEST_F(LibraryEditorsUiTest, ChooserReturnsTheClickedEntryInEitherOrder) {
    write(LibraryKind::Taglines, entry("b\r\n") + entry("a\r\n") + entry("c\r\n"));
    TListe& liste = *windows->Liste;
    ui.onModal("TListe", [&](QObject&) {
        liste.TriBtn->click();
        EXPECT_EQ(liste.TriBtn->text(), QStringLiteral("Ordre normal"));
        EXPECT_EQ(liste.ListeElem->item(0)->text(), QStringLiteral("a"));
        Q_EMIT liste.ListeElem->itemClicked(liste.ListeElem->item(0));
        return liste.result();
    });
    EXPECT_EQ(liste.Choose(LibraryKind::Taglines), 1);
    // Headers: no sorting button, table order.
    write(LibraryKind::Headers, entry("z\r\n") + entry("y\r\n"));
    ui.onModal("TListe", [&](QObject&) {
        EXPECT_TRUE(liste.TriBtn->isHidden());
        EXPECT_EQ(liste.windowTitle(), QStringLiteral("Choix d'un entête"));
        Q_EMIT liste.ListeElem->itemClicked(liste.ListeElem->item(0));
        return liste.result();
    });
    EXPECT_EQ(liste.Choose(LibraryKind::Headers), 0);
    EXPECT_EQ(liste.chooser.ChooserResult[2], 1);
}

TEST_F(LibraryEditorsUiTest, ConfigurationOpensTheEditorThenShowsTheEditedList) {
    write(LibraryKind::Correspondents, entry("ALL;1\r\n"));
    TListe& liste = *windows->Liste;
    ui.onModal("TParam4", [&](QObject& w) {
        auto& editor = static_cast<TParam4&>(w);
        editor.NewBtn->click();
        type(editor.Texte, QStringLiteral("martin"));
        editor.OKBtn->click();
        return 1;
    });
    ui.onModal("TListe", [&](QObject&) {
        EXPECT_EQ(liste.ListeElem->count(), 1);
        liste.ConfigBtn->click();
        EXPECT_EQ(liste.ListeElem->count(), 2);
        EXPECT_EQ(liste.ListeElem->item(1)->text(), QStringLiteral("MARTIN"));
        Q_EMIT liste.ListeElem->itemClicked(liste.ListeElem->item(1));
        return liste.result();
    });
    EXPECT_EQ(liste.Choose(LibraryKind::Correspondents), 1);
    EXPECT_EQ(session.libraries.CorrespondentList.at(1).text, "MARTIN\r\n");
}

TEST_F(LibraryEditorsUiTest, TaglineImportFromTheMenu) {
    write(LibraryKind::Taglines, entry("t\r\n"));
    ASSERT_TRUE(shown(LoadTaglines(session), ui));
    const QString file = dirs.dir(QStringLiteral("WORK")) + QStringLiteral("/T.TXT");
    writeFileAtomically(file, "premi\xC3\xA8re\r\n\r\nseconde\r\n");
    ui.answerOpenFile(file);
    ui.answerYesNo(false);
    windows->Form1->ImportationTaglines1->trigger();
    EXPECT_EQ(ui.messages().last(), QStringLiteral("Importation réussie de 2 taglines dans VELK"));
    EXPECT_EQ(onDisk(LibraryKind::Taglines),
              bytes(entry("t\r\n") + entry("premi\x8Are\r\n") + entry("seconde\r\n")));
}

} // namespace velk
