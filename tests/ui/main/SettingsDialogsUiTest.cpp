// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/SettingsFile.h"
#include "tests/support/ProgramDir.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/Typing.h"
#include "ui/main/TAboutBox.h"
#include "ui/main/TDiversConfig.h"
#include "ui/main/TParam0.h"
#include "ui/main/TPrinterConfig.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace velk {

namespace {

QString iniValue(const ProgramDir& dir, const QString& section, const QString& key) {
    return dir.session.settingsFile().readString(section, key);
}

struct Param0Fixture {
    ProgramDir dir;
    ScriptedUiServices ui;
    TParam0 dialog{dir.session, ui};

    Param0Fixture() {
        dir.makeWorkingLayout();
        dialog.ChargeConfig();
        dialog.show();
    }
    void type(DirectoryField f, const QString& text) { typeInto(dialog.field(f), text); }
    QString stored(const QString& key) const {
        return iniValue(dir, SettingsKeys::Repertoire, key);
    }
};

} // namespace

TEST(TParam0, LoadsFromTheFileAndStoresWithoutTrailingSlash) {
    Param0Fixture t;
    EXPECT_EQ(t.dialog.windowTitle(), QStringLiteral("Configuration"));
    EXPECT_EQ(t.dialog.field(DirectoryField::QWK)->text(), t.dir.path(QStringLiteral("QWK")));
    const QString qwk = t.dir.makeDir(QStringLiteral("Paquets reçus"));
    t.type(DirectoryField::QWK, qwk + QLatin1Char('/'));
    EXPECT_EQ(t.dialog.field(DirectoryField::QWK)->text(), qwk + QLatin1Char('/'));
    t.dialog.OKBtn->click();
    EXPECT_EQ(t.dialog.result(), QDialog::Accepted);
    EXPECT_EQ(t.dialog.field(DirectoryField::QWK)->text(), qwk);
    EXPECT_EQ(t.stored(SettingsKeys::QWKPath), qwk);
    EXPECT_EQ(t.stored(SettingsKeys::WorkPath), t.dir.path(QStringLiteral("WORK")));
    EXPECT_TRUE(t.ui.events().empty());
}

TEST(TParam0, CreatesAMissingDirectoryWhenTheUserAgrees) {
    Param0Fixture t;
    const QString rep = t.dir.path(QStringLiteral("Réponses"));
    t.type(DirectoryField::REP, rep);
    t.ui.answerYesNo(true);
    t.dialog.OKBtn->click();
    EXPECT_TRUE(QFileInfo(rep).isDir());
    EXPECT_EQ(t.stored(SettingsKeys::REPPath), rep);
    EXPECT_FALSE(t.dialog.isVisible());
    EXPECT_TRUE(t.ui.allAnswersUsed());
}

TEST(TParam0, ARefusedCreationFocusesTheFieldAndWritesNothing) {
    Param0Fixture t;
    const QByteArray before = t.dir.read(QStringLiteral("VELK.INI"));
    // Installation, QWK, REP, work: the first refusal stops the checks.
    t.type(DirectoryField::Work, t.dir.path(QStringLiteral("TRAVAIL")));
    t.type(DirectoryField::QWK, t.dir.path(QStringLiteral("ARRIVEE")));
    t.ui.answerYesNo(false);
    t.dialog.OKBtn->click();
    EXPECT_TRUE(t.dialog.isVisible());
    EXPECT_EQ(t.dialog.focusWidget(), t.dialog.field(DirectoryField::QWK));
    EXPECT_EQ(t.ui.texts(),
              QStringList{QStringLiteral("Le répertoire \"") +
                          t.dir.path(QStringLiteral("ARRIVEE")) +
                          QStringLiteral("\" n'existe pas.\nVoulez-vous le créer ?")});
    EXPECT_EQ(t.dir.read(QStringLiteral("VELK.INI")), before);
    EXPECT_FALSE(QFileInfo::exists(t.dir.path(QStringLiteral("TRAVAIL"))));

    // Accept QWK, refuse the work directory.
    t.ui.answerYesNo(true);
    t.ui.answerYesNo(false);
    t.dialog.OKBtn->click();
    EXPECT_EQ(t.dialog.focusWidget(), t.dialog.field(DirectoryField::Work));
    EXPECT_EQ(t.dir.read(QStringLiteral("VELK.INI")), before);
}

TEST(TParam0, RefusesAWorkDirectoryThatEmptyingWouldMakeDangerous) {
    Param0Fixture t;
    const QByteArray before = t.dir.read(QStringLiteral("VELK.INI"));
    const struct {
        QString work;
        const char* reason;
    } cases[] = {
        {t.dir.temp.path(), "répertoire du programme"},
        // Named through a directory that does not exist: refused, never offered for creation.
        {t.dir.path(QStringLiteral("ABSENT/..")), "répertoire du programme"},
        {t.dir.path(QStringLiteral("QWK")), "répertoire des fichiers *.QWK"},
        {QDir::homePath(), "contient vos fichiers personnels"},
    };
    for (const auto& c : cases) {
        t.ui.clear();
        t.type(DirectoryField::Work, c.work);
        t.dialog.OKBtn->click();
        ASSERT_EQ(t.ui.messages().size(), 1) << c.reason;
        EXPECT_TRUE(t.ui.messages()[0].contains(QString::fromUtf8(c.reason)))
            << t.ui.messages()[0].toStdString();
        EXPECT_TRUE(t.dialog.isVisible());
        EXPECT_EQ(t.dialog.focusWidget(), t.dialog.field(DirectoryField::Work));
        EXPECT_EQ(t.dir.read(QStringLiteral("VELK.INI")), before);
    }
}

TEST(TParam0, BrowseHelpAndCancel) {
    Param0Fixture t;
    const QString chosen = t.dir.makeDir(QStringLiteral("Choisi"));
    t.ui.answerDirectory(chosen);
    t.dialog.browseButton(DirectoryField::REP)->click();
    EXPECT_EQ(t.dialog.field(DirectoryField::REP)->text(), chosen);
    EXPECT_EQ(t.ui.lastFileRequest().title, QStringLiteral("Choisir un répertoire"));
    EXPECT_EQ(t.ui.lastFileRequest().directory, t.dir.path(QStringLiteral("REP")));

    t.ui.answerDirectory(std::nullopt);
    t.dialog.browseButton(DirectoryField::REP)->click();
    EXPECT_EQ(t.dialog.field(DirectoryField::REP)->text(), chosen);

    t.dialog.HelpBtn->click();
    EXPECT_EQ(t.ui.events().back().kind, ScriptedUiServices::Kind::Help);
    EXPECT_EQ(t.ui.events().back().text, QStringLiteral("8000"));

    const QByteArray before = t.dir.read(QStringLiteral("VELK.INI"));
    EXPECT_EQ(t.dialog.CancelBtn->text(), QStringLiteral("A&nnuler"));
    t.dialog.CancelBtn->click();
    EXPECT_EQ(t.dialog.result(), QDialog::Rejected);
    EXPECT_EQ(t.dir.read(QStringLiteral("VELK.INI")), before);
}

namespace {

struct DiversFixture {
    ProgramDir dir{QByteArray("[Divers]\r\nMaxCar=70\r\nCouleurQuote=255\r\n")};
    ScriptedUiServices ui;
    TDiversConfig dialog{dir.session, ui};

    DiversFixture() {
        dialog.ChargeConfig();
        dialog.show();
    }
    QString maxCar() const { return iniValue(dir, SettingsKeys::Divers, SettingsKeys::MaxCar); }
};

} // namespace

TEST(TDiversConfig, LineWidthFrom60To80) {
    const struct {
        const char* typed;
        bool accepted;
        const char* message;
    } cases[] = {
        {"59", false, "Au moins 60 caractères dans une ligne."},
        {"60", true, nullptr},
        {"80", true, nullptr},
        {"81", false, "Pas plus de 80 caractères dans une ligne."},
        {"soixante", false, "'soixante' n'est pas une valeur entière correcte"},
    };
    for (const auto& c : cases) {
        DiversFixture t;
        EXPECT_EQ(t.dialog.NbCar->text(), QStringLiteral("70"));
        typeInto(t.dialog.NbCar, QString::fromLatin1(c.typed));
        t.dialog.OKBtn->click();
        EXPECT_EQ(t.dialog.isVisible(), !c.accepted) << c.typed;
        EXPECT_EQ(t.maxCar(), c.accepted ? QString::fromLatin1(c.typed) : QStringLiteral("70"));
        EXPECT_EQ(t.ui.messages(),
                  c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList{})
            << c.typed;
    }
}

TEST(TDiversConfig, EveryWayOfClosingWritesTheWidth) {
    {
        DiversFixture t;
        typeInto(t.dialog.NbCar, QStringLiteral("65"));
        t.dialog.CancelBtn->click();
        EXPECT_FALSE(t.dialog.isVisible());
        EXPECT_EQ(t.maxCar(), QStringLiteral("65"));
    }
    {
        // Out of range: said, not written, and the dialog closes all the same.
        DiversFixture t;
        typeInto(t.dialog.NbCar, QStringLiteral("81"));
        t.dialog.close();
        EXPECT_FALSE(t.dialog.isVisible());
        EXPECT_EQ(t.ui.messages(),
                  QStringList{QStringLiteral("Pas plus de 80 caractères dans une ligne.")});
        EXPECT_EQ(t.maxCar(), QStringLiteral("70"));
    }
}

TEST(TDiversConfig, ChangerSavesTheColourAtOnce) {
    DiversFixture t;
    EXPECT_EQ(t.dialog.QuoteColor->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(t.dialog.BackColor->palette().color(QPalette::Window), QColor(255, 255, 255));
    t.ui.answerColour(QColor(0, 0, 128));
    t.dialog.ChangeInkColor->click();
    EXPECT_EQ(iniValue(t.dir, SettingsKeys::Divers, SettingsKeys::CouleurEncre),
              QStringLiteral("8388608"));
    EXPECT_EQ(t.dir.session.settings.inkColour, 0x800000u);
    EXPECT_EQ(t.dialog.InkColor->palette().color(QPalette::Window), QColor(0, 0, 128));

    // A cancelled colour dialog writes the unchanged colour again.
    t.ui.answerColour(std::nullopt);
    t.dialog.ChangeQuoteColor->click();
    EXPECT_EQ(iniValue(t.dir, SettingsKeys::Divers, SettingsKeys::CouleurQuote),
              QStringLiteral("255"));
    t.ui.answerColour(QColor(Qt::yellow));
    t.dialog.ChangeBackColor->click();

    // "&Annuler" keeps the new colours.
    t.dialog.CancelBtn->click();
    EXPECT_EQ(iniValue(t.dir, SettingsKeys::Divers, SettingsKeys::CouleurFond),
              QStringLiteral("65535"));
    EXPECT_EQ(iniValue(t.dir, SettingsKeys::Divers, SettingsKeys::CouleurEncre),
              QStringLiteral("8388608"));
    EXPECT_TRUE(t.ui.allAnswersUsed());
    EXPECT_EQ(t.dialog.windowTitle(), QStringLiteral("Paramêtres de l'éditeur"));
}

TEST(TPrinterConfig, WritesTheFieldsAsTypedWhenClosing) {
    ProgramDir dir(QByteArray("[Imprimante]\r\nHauteurLigne=72\r\n"));
    ScriptedUiServices ui;
    TPrinterConfig dialog(dir.session, ui);
    dialog.ChargeConfig();
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Paramètres particuliers de l'imprimante"));
    EXPECT_EQ(dialog.Interligne->text(), QStringLiteral("72"));
    EXPECT_EQ(dialog.NbLignes->text(), QStringLiteral("66"));
    typeInto(dialog.NbLignes, QStringLiteral("6000"));
    EXPECT_EQ(dialog.NbLignes->text(), QStringLiteral("600"));
    typeInto(dialog.NbLignes, QStringLiteral("60"));
    dialog.CancelBtn->click();
    EXPECT_EQ(iniValue(dir, SettingsKeys::Imprimante, SettingsKeys::NbLignes),
              QStringLiteral("60"));
    EXPECT_EQ(iniValue(dir, SettingsKeys::Imprimante, SettingsKeys::HauteurLigne),
              QStringLiteral("72"));
    dialog.ChargeConfig();
    EXPECT_EQ(dir.session.settings.linesPerPage, 60);

    // Text that would stop the next reading is refused; "&Fermer" leaves the dialog open.
    dialog.show();
    typeInto(dialog.Interligne, QStringLiteral("8é"));
    dialog.OKBtn->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(ui.messages(),
              QStringList{QStringLiteral("'8é' n'est pas une valeur entière correcte")});
    typeInto(dialog.Interligne, QStringLiteral("90"));
    dialog.OKBtn->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(iniValue(dir, SettingsKeys::Imprimante, SettingsKeys::HauteurLigne),
              QStringLiteral("90"));
}

TEST(TAboutBox, Texts) {
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("A propos"));
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("ProductName"))->text(),
              QStringLiteral("VELK v 0.22.32ß  (Version 32 bits)"));
    box.show();
    box.OKButton->click();
    EXPECT_FALSE(box.isVisible());
}

} // namespace velk
