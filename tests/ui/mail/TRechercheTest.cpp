// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/mail/TRecherche.h"

#include "core/CharacterSet.h"
#include "core/DosFont.h"
#include "tests/support/ModalSteps.h"
#include "tests/support/PacketFixture.h"
#include "tests/support/Typing.h"

#include "ui/mail/TAffMsg.h"
#include "ui/main/Windows.h"
#include "ui/packet/TQWK.h"
#include "ui/widgets/QtUiServices.h"
#include <QListWidget>

#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace velk {

namespace {

void press(QWidget& widget, int key, const QString& text = {}) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&widget, &event);
}

class TRechercheTest : public PacketFixture {
protected:
    static void SetUpTestSuite() { fontId_ = registerDosFont(QStringLiteral(VELK_FONT_FILE)); }
    static void TearDownTestSuite() { unregisterDosFont(fontId_); }
    static inline int fontId_ = -1;

    void SetUp() override {
        PacketFixture::SetUp();
        b.conference(0, "Principal").conference(3, "Cuisine");
        b.add(0, "Bienvenue", unicodeToDos("Le café est servi.\n"));
        b.add(0, "Rien", "Aucun rapport\n");
        b.add(3, unicodeToDos("Gâteau"), unicodeToDos("Recette du gâteau au CAFÉ\n"));
        unpack();
    }
};

TEST_F(TRechercheTest, CaptionsOfTheWindow) {
    TRecherche w(s, ui);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Recherche"));
    QStringList captions;
    const QList<QAbstractButton*> buttons = {w.Sujet,       w.Auteur,     w.Destinataire,
                                             w.TexteMsg,    w.Majuscules, w.MotEntier,
                                             w.ChercherBtn, w.HelpBtn,    w.FermerBtn};
    for (QAbstractButton* btn : buttons)
        captions << btn->text() + (btn->isCheckable() && btn->isChecked() ? "*" : "");
    EXPECT_EQ(captions, QStringList({"&Sujet*", "&Auteur*", "&Destinataire*", "Te&xte du message*",
                                     "&Majuscules/minuscules", "Mot &entier", "&Chercher", "Ai&de",
                                     "&Fermer"}));
    // The column titles stand over their columns: the list's font, its cells.
    const QList<QLabel*> labels = w.findChildren<QLabel*>();
    const auto titles = std::find_if(labels.begin(), labels.end(), [](const QLabel* l) {
        return l->text().startsWith(QStringLiteral("Conf. Numéro"));
    });
    ASSERT_NE(titles, labels.end());
    EXPECT_EQ((*titles)->font().family(), w.Resultats->font().family());
}

// From the packet window, as a user: the search typed, Enter, Enter on the first result,
// the viewer's next button to the second, then back and closed.
TEST_F(TRechercheTest, FoundFromThePacketWindowAndSteppedThroughInTheViewer) {
    QtUiServices real{QString()};
    const auto windows = createWindows(s, real);
    TQWK& packet = *windows->QWK;
    TRecherche& search = *windows->Recherche;
    TAffMsg& viewer = *windows->AffMsg;
    QStringList subjects;
    QString state;
    ModalSteps steps;
    steps.then("TQWK", [&](QWidget&) { packet.RechercheBtn->click(); });
    steps.then("TRecherche", [&](QWidget&) {
        type(*search.Texte, QStringLiteral("café"));
        press(*search.Texte, Qt::Key_Return, QStringLiteral("\r"));
        while (search.searching())
            QCoreApplication::processEvents();
        state = search.Etat->text();
        press(*search.Resultats, Qt::Key_Return, QStringLiteral("\r"));
    });
    steps.then("TAffMsg", [&](QWidget&) {
        subjects << viewer.ChSujet->text().trimmed();
        viewer.NextMsgBtnClick();
        subjects << viewer.ChSujet->text().trimmed();
        viewer.FermerBtn->click();
    });
    steps.then("TRecherche", [&](QWidget&) { search.FermerBtn->click(); });
    steps.then("TQWK", [&](QWidget&) { packet.reject(); });
    packet.exec();
    EXPECT_TRUE(steps.done());
    EXPECT_EQ(state, QStringLiteral("2 message(s) trouvé(s)."));
    EXPECT_EQ(subjects, QStringList({"Bienvenue", "Gâteau"}));
}

} // namespace

} // namespace velk
