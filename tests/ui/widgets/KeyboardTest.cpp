// SPDX-License-Identifier: GPL-2.0-or-later
// The keyboard and the double-click on the real windows: real key and mouse events sent to
// the real lists, the help key and the ends of a long bulletin.
#include "core/FileUtil.h"
#include "library/LibraryFile.h"
#include "mail/Browser.h"
#include "mail/PersonalMail.h"
#include "reply/ReplyFile.h"
#include "tests/support/PacketFixture.h"

#include "ui/library/TListe.h"
#include "ui/library/TParam1.h"
#include "ui/mail/TAffMsg.h"
#include "ui/mail/TMessagerie.h"
#include "ui/mail/TMsgPerso.h"
#include "ui/main/TParam0.h"
#include "ui/main/Windows.h"
#include "ui/merge/TFusion.h"
#include "ui/packet/TAffBulletins.h"
#include "ui/packet/TListeBull.h"
#include "ui/packet/TListeFiles.h"
#include "ui/reply/TWriteMsg.h"
#include <QListWidget>

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <functional>

namespace velk {

namespace {

enum class Gesture { Return, KeypadEnter, DoubleClick };

const char* gestureName(Gesture g) {
    switch (g) {
    case Gesture::Return:
        return "Return";
    case Gesture::KeypadEnter:
        return "Enter";
    case Gesture::DoubleClick:
        return "double-clic";
    }
    return "";
}

void perform(QListWidget& list, int row, Gesture g) {
    switch (g) {
    case Gesture::Return:
        QTest::keyClick(&list, Qt::Key_Return);
        break;
    case Gesture::KeypadEnter:
        QTest::keyClick(&list, Qt::Key_Enter, Qt::KeypadModifier);
        break;
    case Gesture::DoubleClick:
        EXPECT_TRUE(QTest::qWaitForWindowExposed(list.window()));
        list.scrollToItem(list.item(row));
        // Through the window, as the system delivers it: press, release, press, release.
        QTest::mouseDClick(
            list.window()->windowHandle(), Qt::LeftButton, {},
            list.viewport()->mapTo(list.window(), list.visualItemRect(list.item(row)).center()));
        break;
    }
}

std::string entry(const std::string& text) {
    return "\xAE" + text + "\xAF\r\n";
}

class KeyboardTest : public PacketFixture {
public:
    using PacketFixture::s;
    using PacketFixture::ui;
    std::unique_ptr<Windows> w;
    int viewerRuns = 0;

    void SetUp() override {
        PacketFixture::SetUp();
        b.conference(0, "Principal").conference(7, "Sept");
        b.add(0, "Premier", "a\n");
        b.add(0, "Second", "b\n");
        b.add(7, "Pour vous", "c\n").personal = true;
        b.add(7, "Encore vous", "d\n").personal = true;
        b.bulletin("BLT-0.1", "un\r\n").bulletin("BLT-0.2", "deux\r\n");
        std::string tall;
        for (int i = 0; i < 200; ++i)
            tall += "ligne\r\n";
        b.bulletin("BLT-0.3", tall);
        b.newFiles("JEU.ZIP  Un jeu\r\n");
        unpack();
        for (const char* answer : {"Un", "Deux"}) {
            ReplyDraft d;
            d.lines = {"Texte"};
            d.conference = 7;
            d.recipient = "ANNE";
            d.author = "JEAN DUPONT";
            d.subject = answer;
            ASSERT_TRUE(AppendReply(s, ui, d, QDateTime(QDate(1996, 2, 6), QTime(9, 0))));
        }
        writeFileAtomically(LibraryPath(s.settings.velkPath, LibraryKind::Taglines),
                            QByteArray::fromStdString(entry("a") + entry("b")));
        w = createWindows(s, ui);
        for (const char* viewer : {"TAffBulletins", "TAffMsg"})
            ui.onModal(viewer, [this](QObject&) {
                ++viewerRuns;
                return 0;
            });
    }
    void TearDown() override { hideAll(); }
    static void hideAll() {
        for (QWidget* top : QApplication::topLevelWidgets())
            top->QWidget::setVisible(false);
    }
};

// What a click on the second line does, each list with its window, and how to see it done.
struct ListCase {
    const char* list;
    std::function<QListWidget&(KeyboardTest&, Windows&)> open;
    std::function<bool(KeyboardTest&, Windows&)> acted;
};

TEST_F(KeyboardTest, EnterAndDoubleClickDoWhatAClickDoes) {
    const ListCase cases[] = {
        {"Liste des bulletins",
         [](KeyboardTest&, Windows& w) -> QListWidget& {
             w.ListeBull->fill({"Bulletin N°1", "Bulletin N°2"});
             w.ListeBull->show();
             return *w.ListeBull->ListBull;
         },
         [](KeyboardTest& t, Windows& w) {
             return t.viewerRuns == 1 && w.AffBulletins->windowTitle() == "Bulletin N°2" &&
                    w.ListeBull->isVisible();
         }},
        {"Conférences",
         [](KeyboardTest& t, Windows& w) -> QListWidget& {
             w.Messagerie->fillConferences(buildConferenceList(t.s));
             w.Messagerie->show();
             w.Messagerie->ListConf->setCurrentRow(1);
             w.Messagerie->ListMsg->clear();
             return *w.Messagerie->ListConf;
         },
         [](KeyboardTest&, Windows& w) {
             return w.Messagerie->ListMsg->count() == 2 && w.Messagerie->isVisible();
         }},
        {"Messages",
         [](KeyboardTest& t, Windows& w) -> QListWidget& {
             w.Messagerie->fillConferences(buildConferenceList(t.s));
             w.Messagerie->ListConfClick();
             w.Messagerie->show();
             return *w.Messagerie->ListMsg;
         },
         [](KeyboardTest& t, Windows& w) {
             return t.viewerRuns == 1 && t.s.store.MessageText == "b" && w.Messagerie->isVisible();
         }},
        {"Messages personnels",
         [](KeyboardTest& t, Windows& w) -> QListWidget& {
             w.MsgPerso->fillPersonal(buildPersonalList(t.s, t.ui));
             w.MsgPerso->AfficheMsgREP();
             w.MsgPerso->show();
             return *w.MsgPerso->ListMsgPerso;
         },
         [](KeyboardTest& t, Windows& w) {
             return t.viewerRuns == 1 && t.s.store.MessageText == "d" && w.MsgPerso->isVisible();
         }},
        {"Messages écrits",
         [](KeyboardTest& t, Windows& w) -> QListWidget& {
             w.MsgPerso->AfficheMsgREP();
             w.MsgPerso->show();
             w.MsgPerso->ListReponses->setCurrentRow(1);
             t.s.replies.SelectedReply.reset();
             return *w.MsgPerso->ListReponses;
         },
         [](KeyboardTest& t, Windows& w) { // "Relire"
             return t.viewerRuns == 1 && w.MsgPerso->isVisible();
         }},
        {"Choix",
         [](KeyboardTest&, Windows& w) -> QListWidget& {
             w.Liste->ShowTag(LibraryKind::Taglines);
             w.Liste->chooser.ChooserResult[2].reset();
             w.Liste->show();
             return *w.Liste->ListeElem;
         },
         [](KeyboardTest&, Windows& w) {
             return w.Liste->chooser.ChooserResult[2] == 1 && !w.Liste->isVisible();
         }},
    };
    for (const ListCase& c : cases) {
        for (Gesture g : {Gesture::Return, Gesture::KeypadEnter, Gesture::DoubleClick}) {
            viewerRuns = 0;
            s.store.MessageText.clear();
            QListWidget& list = c.open(*this, *w);
            ASSERT_GE(list.count(), 2) << c.list;
            list.setCurrentRow(1);
            EXPECT_FALSE(c.acted(*this, *w)) << c.list << ": acted on moving";
            perform(list, 1, g);
            EXPECT_TRUE(c.acted(*this, *w)) << c.list << " / " << gestureName(g);
            hideAll();
        }
    }
}

struct HelpCase {
    const char* window;
    std::function<QWidget&(Windows&)> window_;
    int context;
};

TEST_F(KeyboardTest, F1OpensTheWindowsHelp) {
    const HelpCase cases[] = {
        {"bulletins", [](Windows& w) -> QWidget& { return *w.ListeBull; }, 1000},
        {"nouveaux fichiers", [](Windows& w) -> QWidget& { return *w.ListeFiles; }, 2000},
        {"messagerie", [](Windows& w) -> QWidget& { return *w.Messagerie; }, 3000},
        {"messages personnels", [](Windows& w) -> QWidget& { return *w.MsgPerso; }, 4000},
        {"message", [](Windows& w) -> QWidget& { return *w.AffMsg; }, 5000},
        {"éditeur", [](Windows& w) -> QWidget& { return *w.WriteMsg; }, 6000},
        {"entêtes", [](Windows& w) -> QWidget& { return *w.Param1; }, 9001},
        {"configuration", [](Windows& w) -> QWidget& { return *w.Param0; }, 8000},
        {"fusion", [](Windows& w) -> QWidget& { return *w.Fusion; }, 10000},
    };
    for (const HelpCase& c : cases) {
        QWidget& window = c.window_(*w);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window)) << c.window;
        QWidget* focus = window.focusWidget() ? window.focusWidget() : &window;
        QTest::keyClick(focus, Qt::Key_F1);
        const auto& events = ui.events();
        ASSERT_FALSE(events.empty()) << c.window;
        EXPECT_EQ(events.back().kind, ScriptedUiServices::Kind::Help) << c.window;
        EXPECT_EQ(events.back().text, QString::number(c.context)) << c.window;
        window.QWidget::setVisible(false);
    }
}

TEST_F(KeyboardTest, HomeAndEndReachTheEndsOfABulletin) {
    TAffBulletins& viewer = *w->AffBulletins;
    ASSERT_TRUE(viewer.loadBulletin(2));
    viewer.show();
    viewer.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
    QScrollBar* bar = viewer.ScrollBulletin->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    QTest::keyClick(viewer.focusWidget() ? viewer.focusWidget() : &viewer, Qt::Key_End);
    EXPECT_EQ(bar->value(), bar->maximum());
    QTest::keyClick(viewer.focusWidget() ? viewer.focusWidget() : &viewer, Qt::Key_Home);
    EXPECT_EQ(bar->value(), 0);
}

} // namespace

} // namespace velk
