// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/mail/TAffMsg.h"

#include "ui/mail/MessageBodyView.h"

#include "core/CharacterSet.h"
#include "core/DosFont.h"
#include "core/SettingsAppearance.h"
#include "core/SettingsFile.h"
#include "packet/MessageStore.h"
#include "packet/PacketBuilder.h"
#include "reply/ReplyFile.h"
#include "session/Session.h"
#include "tests/support/ButtonCaptions.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ModalSteps.h"
#include "tests/support/ScriptedUiServices.h"
#include "ui/widgets/QtUiServices.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFontDialog>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

namespace velk {

namespace {

std::string dos(const char* utf8) {
    return unicodeToDos(QString::fromUtf8(utf8));
}

// How many pixels of a line of the body, as the screen shows it, are of this colour.
int pixelsOf(TAffMsg& w, int line, const QColor& colour) {
    const QImage shot = w.Msg->viewport()->grab().toImage();
    const qreal scale = shot.devicePixelRatio();
    const QRect r = w.Msg->lineRect(line);
    int count = 0;
    for (int y = std::max(0, int(r.top() * scale));
         y < int((r.bottom() + 1) * scale) && y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            count += shot.pixelColor(x, y).rgb() == colour.rgb();
    return count;
}

class TAffMsgTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { fontId_ = registerDosFont(QStringLiteral(VELK_FONT_FILE)); }
    static void TearDownTestSuite() { unregisterDosFont(fontId_); }

    ConfiguredDirectories dirs;
    Session s;
    ScriptedUiServices ui;
    PacketBuilder builder;
    const QColor ink{0, 0, 128};
    const QColor quote{0, 128, 0};
    const QColor back{255, 255, 224};

    void SetUp() override {
        dirs.configure(s);
        builder.conference(0, "Courrier principal").conference(1, "Informatique");
        PacketMessage m;
        m.conference = 1;
        m.from = dos("ÉLODIE ROUSSEAU");
        m.to = "JEAN DUPONT";
        m.subject = "Re: Modem 33600";
        m.date = "03-14-97";
        m.time = "19:30";
        m.number = "6";
        m.text = dos("JD> As-tu désactivé le double appel ?\n"
                     "> Ajoute *70, devant le numéro\n"
                     "\n"
                     "C'était bien ça ! Trois heures sans une coupure.\n"
                     "\tMerci ─ mille fois.\n"
                     " ER| Élodie\n");
        builder.message(m);
        PacketMessage p;
        p.conference = 0;
        p.status = "+";
        p.subject = "Votre inscription";
        p.text = "Bonsoir Jean,\n";
        builder.message(p);
        PacketMessage news;
        news.conference = 1;
        news.subject = "Nouvelles";
        news.text = "Path: a!b\nNewsgroups: fr.comp\nOrganization: Universit\xE9\nLines: 40\n\n";
        for (int i = 0; i < 60; ++i)
            news.text += "Ligne " + std::to_string(i) + "\n";
        builder.message(news);
        builder.writeTo(s.settings.workPath);
        for (std::size_t i = 0; i < builder.messageCount(); ++i)
            s.browser.ListOrder.push_back(builder.headerBlockIndex(i));
        s.browser.LastListIndex = int(builder.messageCount()) - 1;
        s.browser.CurrentListIndex = 0;
        s.packet.control.Conferences = {{0, "Courrier principal"}, {1, "Informatique"}};
        s.settings.inkColour = windowsFromColour(ink);
        s.settings.quoteColour = windowsFromColour(quote);
        s.settings.backColour = windowsFromColour(back);
        useFont(QStringLiteral("DejaVu Sans Mono"));
    }

    void useFont(const QString& family) {
        writeMessageFont(s.settingsFile(), QFont(family, 12));
        readMessageFont(s.settingsFile(), s.settings);
    }

    void open(TAffMsg& w) {
        ASSERT_TRUE(w.AfficheMsg());
        w.show();
    }

private:
    static inline int fontId_ = -1;
};

TEST_F(TAffMsgTest, TheFontDialogOffersTheFontOnScreen) {
    // A family this system lacks is drawn in another; the dialog must offer that one.
    s.settings.messageFont = {QStringLiteral("Police Absente De Ce Système"), 12};
    QtUiServices real{QString()};
    TAffMsg w(s, real);
    ASSERT_TRUE(w.AfficheMsg());
    QString offered;
    ModalSteps steps;
    steps.then("QFontDialog", [&](QWidget& d) {
        offered = static_cast<QFontDialog&>(d).currentFont().family();
        static_cast<QFontDialog&>(d).reject();
    });
    w.PoliceBtn->click();
    EXPECT_TRUE(steps.done());
    EXPECT_EQ(offered, QFontInfo(fontOf(s.settings.messageFont)).family());
    EXPECT_EQ(s.settings.messageFont.family, QStringLiteral("Police Absente De Ce Système"));
}

} // namespace

TEST_F(TAffMsgTest, ControlsAsTheUserSeesThem) {
    TAffMsg w(s, ui);
    EXPECT_EQ(w.windowTitle(), "Message");
    EXPECT_EQ(w.size(), QSize(792, 553));
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    expectButtons({
        {w.AnswerBtn, "&Répondre", "Répondre au message", false},
        {w.ExportBtn, "&Exporter", "Sauvegarder ce message", true},
        {w.ImprimeBtn, "&Imprimer", "Imprimer ce message", true},
        {w.FermerBtn, "&Fermer", "Sortir de la fenêtre", true},
        {w.WriteMsgBtn, "&Ecrire", "Ecrire un message", false},
        {w.ForwardBtn, "&Copier", "Faire suivre un message", false},
        {w.PoliceBtn, "P&olice", "", true},
        {w.HelpBtn, "&Aide", "Aide contextuelle", true},
        {w.FirstMsgBtn, "Premier Message", "Revenir au premier message", true},
        {w.LastMsgBtn, "Dernier Message", "Aller au dernier message", true},
        {w.PrevMsgBtn, "Message &Préc.", "Aller au message précédent", true},
        {w.NextMsgBtn, "Message &Suivant", "Aller au message suivant", true},
    });
    QStringList captions;
    for (const QLabel* l : w.findChildren<QLabel*>())
        captions << l->text();
    for (const char* c :
         {"Statut :", "Date :", "Auteur :", "Destinataire :", "Sujet :", "Conférence :"})
        EXPECT_TRUE(captions.contains(QString::fromUtf8(c))) << c;
    for (QLabel* l : {w.ChAuteur, w.ChDest, w.ChSujet, w.chConf})
        EXPECT_EQ(l->font().family(), kDosFontFamily);
    EXPECT_TRUE(w.ChStatut->font().bold());
    EXPECT_TRUE(w.ChDate->font().bold());
    EXPECT_TRUE(w.chNum->font().bold());
    EXPECT_EQ(w.Msg->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_EQ(w.Msg->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);

    QStringList items;
    std::vector<bool> enabled;
    for (const QAction* a : w.PopupMenu1->actions()) {
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
        enabled.push_back(a->isEnabled());
    }
    EXPECT_EQ(items, QStringList({"&Annuler", "-", "&Couper", "Co&pier", "C&oller", "&Suppr", "-",
                                  "Sélectionner &tout"}));
    EXPECT_EQ(enabled, std::vector<bool>({true, true, false, true, false, false, true, true}));

    w.HelpBtn->click();
    ASSERT_EQ(ui.events().size(), 1u);
    EXPECT_EQ(ui.events()[0].kind, ScriptedUiServices::Kind::Help);
    EXPECT_EQ(ui.events()[0].text, "5000");
}

TEST_F(TAffMsgTest, ShowsTheMessageWithItsQuotationsInTheirColour) {
    TAffMsg w(s, ui);
    open(w);
    EXPECT_EQ(w.ChStatut->text(), "Public");
    EXPECT_EQ(w.ChStatut->palette().color(QPalette::Window), w.palette().color(QPalette::Button));
    EXPECT_EQ(w.ChDate->text(), "14 mars 1997  à 19:30");
    EXPECT_EQ(w.ChAuteur->text(), QStringLiteral("ÉLODIE ROUSSEAU") + QString(10, u' '));
    EXPECT_EQ(w.ChDest->text().trimmed(), "JEAN DUPONT");
    EXPECT_EQ(w.ChSujet->text().trimmed(), "Re: Modem 33600");
    EXPECT_EQ(w.chConf->text(), "Informatique");
    EXPECT_EQ(s.browser.CurrentConference, 1);
    EXPECT_TRUE(w.chNum->isVisible());
    EXPECT_EQ(w.chNum->text(), "Numéro : 6      ");
    EXPECT_EQ(w.NbLabel->text(), "Msg N° 1 / 3");
    EXPECT_EQ(w.NbLignesLabel->text(), "Nb de lignes : 6");
    EXPECT_EQ(s.viewer.ShownAuthor, dos("ÉLODIE ROUSSEAU") + std::string(10, ' '));
    EXPECT_EQ(s.viewer.ShownRecipient.substr(0, 11), "JEAN DUPONT");
    EXPECT_EQ(w.Msg->palette().color(QPalette::Base), back);

    ASSERT_EQ(w.Msg->lineCount(), 6);
    const QStringList expected = {
        "      JD> As-tu désactivé le double appel ?",
        "      > Ajoute *70, devant le numéro",
        "      ",
        "      C'était bien ça ! Trois heures sans une coupure.",
        "              Merci - mille fois.",
        "       ER| Élodie",
    };
    const bool quoted[] = {true, false, false, false, false, true};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(w.Msg->lineText(i), expected[i]);
        // What the screen shows: the line's letters in its colour, none in the other.
        if (i != 2) {
            EXPECT_GT(pixelsOf(w, i, quoted[i] ? quote : ink), 0) << i;
            EXPECT_EQ(pixelsOf(w, i, quoted[i] ? ink : quote), 0) << i;
        }
    }
    EXPECT_EQ(w.Msg->font().family(), "DejaVu Sans Mono");
    EXPECT_EQ(w.Msg->verticalScrollBar()->value(), 0);
}

TEST_F(TAffMsgTest, PrivateMessageOnRed) {
    s.browser.CurrentListIndex = 1;
    TAffMsg w(s, ui);
    open(w);
    EXPECT_EQ(w.ChStatut->text(), "Privé");
    EXPECT_EQ(w.ChStatut->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(w.chConf->text(), "Courrier principal");
    EXPECT_EQ(w.NbLabel->text(), "Msg N° 2 / 3");
}

TEST_F(TAffMsgTest, NavigationButtons) {
    TAffMsg w(s, ui);
    open(w);
    w.NextMsgBtn->click();
    EXPECT_EQ(w.NbLabel->text(), "Msg N° 2 / 3");
    EXPECT_EQ(w.ChSujet->text().trimmed(), "Votre inscription");
    w.LastMsgBtn->click();
    EXPECT_EQ(w.NbLabel->text(), "Msg N° 3 / 3");
    EXPECT_EQ(w.ChSujet->text().trimmed(), "Nouvelles");
    w.NextMsgBtn->click();
    EXPECT_EQ(w.NbLabel->text(), "Msg N° 3 / 3");
    EXPECT_EQ(s.browser.CurrentListIndex, 2);
    w.PrevMsgBtn->click();
    EXPECT_EQ(w.NbLabel->text(), "Msg N° 2 / 3");
    w.FirstMsgBtn->click();
    w.FirstMsgBtn->click();
    w.PrevMsgBtn->click();
    EXPECT_EQ(s.browser.CurrentListIndex, 0);
    EXPECT_EQ(w.ChSujet->text().trimmed(), "Re: Modem 33600");
    EXPECT_EQ(s.viewer.ShownAuthor.substr(0, 1), dos("É"));
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(TAffMsgTest, NewsMessageOpensPastItsHeaderBlock) {
    s.browser.CurrentListIndex = 2;
    TAffMsg w(s, ui);
    open(w);
    EXPECT_EQ(w.Msg->lineText(2), "      Organization: Université");
    EXPECT_EQ(w.Msg->lineText(5), "      Ligne 0");
    // The view opens on that line, nothing selected.
    EXPECT_EQ(w.Msg->firstVisibleLine(), 5);
    EXPECT_EQ(w.Msg->lineRect(5).top(), w.Msg->lineRect(0).top() + 5 * w.Msg->lineRect(0).height());
    EXPECT_FALSE(w.Msg->hasSelection());
}

TEST_F(TAffMsgTest, ReplyModeShowsTheWrittenMessages) {
    s.packet.control.BbsId = "VELKTEST";
    s.packet.control.UserName = "JEAN DUPONT";
    for (const char* subject : {"Premier", "Second", "Dernier"}) {
        ReplyDraft draft;
        draft.lines = {"EM> cit\x82", "Texte"};
        draft.recipient = dos("ÉLODIE ROUSSEAU");
        draft.author = "JEAN DUPONT";
        draft.subject = subject;
        draft.conference = 1;
        ASSERT_TRUE(shown(AppendReply(s, draft, QDateTime(QDate(1996, 2, 5), QTime(21, 30))), ui));
    }
    BuildReplyTable(s);
    s.viewer.ReplyMode = true;
    s.replies.SelectedReply = 1;
    TAffMsg w(s, ui);
    ASSERT_TRUE(w.AfficheRep());
    w.show();
    EXPECT_TRUE(w.chNum->isHidden());
    EXPECT_EQ(w.NbLabel->text(), "Msg N° 2 / 3");
    EXPECT_EQ(w.ChSujet->text().trimmed(), "Second");
    EXPECT_EQ(w.ChDate->text(), "5 février 1996  à 21:30");
    EXPECT_EQ(w.chConf->text(), "Informatique");
    EXPECT_EQ(w.Msg->lineText(0), "      EM> cité");
    EXPECT_GT(pixelsOf(w, 0, quote), 0);
    w.NextMsgBtn->click();
    EXPECT_EQ(w.NbLabel->text(), "Msg N° 3 / 3");
    w.NextMsgBtn->click();
    EXPECT_EQ(s.replies.SelectedReply, 2);
    EXPECT_EQ(s.browser.CurrentListIndex, 0);
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(TAffMsgTest, FontChoiceConvertsTheBodyAndClosesTheWindow) {
    TAffMsg w(s, ui);
    open(w);
    EXPECT_EQ(w.Msg->lineText(4), "              Merci - mille fois.");
    QFont terminal(kDosFontFamily);
    terminal.setPointSize(12);
    ui.answerFont(terminal);
    w.PoliceBtn->click();
    EXPECT_EQ(ui.messages(), QStringList({kFontChangeMessage}));
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(s.settings.fontNotTerminal);
    EXPECT_EQ(s.settingsFile().readString("Police", "Nom"), kDosFontFamily);
    // The body was converted back to the DOS set before the window closed.
    EXPECT_EQ(w.Msg->lineText(4), "              Merci ─ mille fois.");
    EXPECT_EQ(w.Msg->font().family(), kDosFontFamily);
    // Closing released the text.
    EXPECT_TRUE(s.store.MessageText.empty());
}

TEST_F(TAffMsgTest, CancelledFontChoiceKeepsTheWindow) {
    TAffMsg w(s, ui);
    open(w);
    ui.answerFont(std::nullopt);
    w.PoliceBtn->click();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(TAffMsgTest, CopyPutsDosTextOnTheClipboard) {
    TAffMsg w(s, ui);
    open(w);
    w.Slectionnertout1->trigger();
    QStringList all;
    for (int i = 0; i < w.Msg->lineCount(); ++i)
        all << w.Msg->lineText(i);
    EXPECT_EQ(w.Msg->selectedText(), all.join('\n'));
    QGuiApplication::clipboard()->clear();
    w.Copier1->trigger();
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith(QStringLiteral("      JD> As-tu désactivé")));
    EXPECT_TRUE(copied.contains(QStringLiteral("\n      > Ajoute")));
    EXPECT_FALSE(copied.contains(QChar::ParagraphSeparator));

    // The key of the body goes through the same copy, in the DOS font.
    useFont(kDosFontFamily);
    TAffMsg dosWindow(s, ui);
    open(dosWindow);
    dosWindow.Msg->select({4, 0}, {4, int(dosWindow.Msg->lineText(4).size())});
    QKeyEvent press(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, QStringLiteral("c"));
    QApplication::sendEvent(dosWindow.Msg, &press);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "              Merci ─ mille fois.");
}

TEST_F(TAffMsgTest, ABoardsLongFieldsAndUtf8ThroughTheRealLoop) {
    const std::string conference = "DOVE-Net Synchronet Programming Discussions";
    PacketBuilder board;
    board.conference(0, "Principal").conference(1, conference);
    PacketMessage& m = board.add(1, "Un sujet qui d\xC3\xA9passe largement vingt-cinq",
                                 "Caf\xC3\xA9 \xE2\x82\xAC\n");
    m.from = "Jean-Christophe de la Fontaine";
    m.headersDat = true;
    m.utf8 = true;
    board.writeTo(s.settings.workPath);
    s.packet.headersFile.reset();
    s.packet.control.Conferences = {{0, "Principal"}, {1, conference}};
    s.browser.ListOrder = {board.headerBlockIndex(0)};
    s.browser.LastListIndex = 0;
    s.browser.CurrentListIndex = 0;

    TAffMsg w(s, ui);
    ASSERT_TRUE(w.AfficheMsg());
    bool checked = false;
    QTimer::singleShot(0, &w, [&] {
        EXPECT_EQ(w.ChAuteur->text(), QStringLiteral("Jean-Christophe de la Fontaine"));
        EXPECT_EQ(w.ChSujet->text(), QStringLiteral("Un sujet qui dépasse largement vingt-cinq"));
        EXPECT_EQ(w.chConf->text(), QString::fromStdString(conference));
        EXPECT_FALSE(w.ChSujet->font().styleStrategy() & QFont::NoFontMerging);
        EXPECT_EQ(w.Msg->lineText(0), QStringLiteral("      Café €"));
        w.Slectionnertout1Click();
        w.Copier1Click();
        EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("      Café €"));
        checked = true;
        w.done(0);
    });
    w.exec();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST_F(TAffMsgTest, FailedReadShowsItsMessageAndNoWindow) {
    QFile::remove(messagesFilePath(s.settings.workPath));
    TAffMsg w(s, ui);
    EXPECT_FALSE(w.AfficheMsg());
    EXPECT_EQ(ui.messages().size(), 1);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(TAffMsgTest, CloseReleasesTheText) {
    TAffMsg w(s, ui);
    open(w);
    w.FermerBtn->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(s.store.MessageText.empty());
}

TEST_F(TAffMsgTest, ExportWritesTheShownMessageAndPrintCanBeCancelled) {
    TAffMsg w(s, ui);
    open(w);
    const QString file = dirs.dir(QStringLiteral("VELK")) + QStringLiteral("/MODEM.TXT");
    ui.answerSaveFile(file);
    w.ExportBtn->click();
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Message sauvegardé.")});
    const QString text = QString::fromUtf8(readWholeFile(file));
    EXPECT_TRUE(text.contains(QStringLiteral("Re: Modem 33600"))) << text.toStdString();
    EXPECT_TRUE(
        text.contains(QStringLiteral("C'était bien ça ! Trois heures sans une coupure.\r\n")))
        << text.toStdString();

    ui.answerPrinter(false);
    w.ImprimeBtn->click();
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_EQ(ui.messages().size(), 1);
}

// Ten thousand lines: lines far down are drawn in their colour when the view reaches them;
// the widest line sets the horizontal scroll bar at once.
TEST_F(TAffMsgTest, LongMessageColoursTheLinesItScrollsTo) {
    s.store.CurrentHeader.author = "JEAN DUPONT";
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += i % 3 == 0 ? "JD> cite " + std::to_string(i) + "\n"
                           : "ligne " + std::to_string(i) + "\n";
    text += std::string(200, 'x') + "\n";
    s.store.MessageText = text;
    TAffMsg w(s, ui);
    w.show();
    ASSERT_EQ(w.Msg->lineCount(), 10001);
    EXPECT_EQ(w.NbLignesLabel->text(), "Nb de lignes : 10001");
    EXPECT_GT(w.Msg->horizontalScrollBar()->maximum(), 0);
    w.Msg->verticalScrollBar()->setValue(8999);
    EXPECT_EQ(w.Msg->firstVisibleLine(), 8999);
    EXPECT_GT(pixelsOf(w, 9001, ink), 0);
    EXPECT_EQ(pixelsOf(w, 9001, quote), 0);
    EXPECT_GT(pixelsOf(w, 9003, quote), 0);
}

// The mouse selects from one character to another, Shift and the arrows go on from there,
// and the popup menu's copy takes it.
TEST_F(TAffMsgTest, MouseAndKeysSelectWhatIsCopied) {
    TAffMsg w(s, ui);
    open(w);
    auto press = [&](QEvent::Type type, int line, int column, Qt::MouseButtons buttons) {
        const QRect r = w.Msg->lineRect(line);
        const QString text = w.Msg->lineText(line);
        const int x = r.left() + w.Msg->fontMetrics().horizontalAdvance(text.left(column)) + 1;
        QMouseEvent e(type, QPointF(x, r.center().y()),
                      w.Msg->viewport()->mapToGlobal(QPointF(x, r.center().y())),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(w.Msg->viewport(), &e);
    };
    press(QEvent::MouseButtonPress, 0, 6, Qt::LeftButton);
    press(QEvent::MouseMove, 1, 9, Qt::LeftButton);
    EXPECT_EQ(w.Msg->selectedText(), "JD> As-tu désactivé le double appel ?\n      > A");
    QKeyEvent shiftRight(QEvent::KeyPress, Qt::Key_Right, Qt::ShiftModifier);
    QApplication::sendEvent(w.Msg, &shiftRight);
    QKeyEvent shiftEnd(QEvent::KeyPress, Qt::Key_End, Qt::ShiftModifier);
    QApplication::sendEvent(w.Msg, &shiftEnd);
    EXPECT_EQ(w.Msg->selectedText(),
              "JD> As-tu désactivé le double appel ?\n      > Ajoute *70, devant le numéro");
    QGuiApplication::clipboard()->clear();
    w.Copier1->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), w.Msg->selectedText());
}

} // namespace velk
