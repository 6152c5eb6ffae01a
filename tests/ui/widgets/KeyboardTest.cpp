// SPDX-License-Identifier: GPL-2.0-or-later
// The keyboard and the double-click on the real windows: real key and mouse events sent to
// the real lists, the help key and the ends of a long bulletin.
#include "core/FileUtil.h"
#include "library/LibraryFile.h"
#include "mail/Browser.h"
#include "mail/ListModels.h"
#include "mail/PersonalMail.h"
#include "reply/ReplyFile.h"
#include "tests/support/PacketFixture.h"
#include "tests/support/Reported.h"

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
#include "ui/widgets/WholeRowsList.h"
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

void perform(QListView& list, int row, Gesture g) {
    switch (g) {
    case Gesture::Return:
        QTest::keyClick(&list, Qt::Key_Return);
        break;
    case Gesture::KeypadEnter:
        QTest::keyClick(&list, Qt::Key_Enter, Qt::KeypadModifier);
        break;
    case Gesture::DoubleClick:
        EXPECT_TRUE(QTest::qWaitForWindowExposed(list.window()));
        list.scrollTo(list.model()->index(row, 0));
        // Through the window, as the system delivers it: press, release, press, release.
        QTest::mouseDClick(
            list.window()->windowHandle(), Qt::LeftButton, {},
            list.viewport()->mapTo(list.window(),
                                   list.visualRect(list.model()->index(row, 0)).center()));
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
            ASSERT_TRUE(shown(AppendReply(s, d, QDateTime(QDate(1996, 2, 6), QTime(9, 0))), ui));
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
    std::function<QListView&(KeyboardTest&, Windows&)> open;
    std::function<bool(KeyboardTest&, Windows&)> acted;
};

TEST_F(KeyboardTest, EnterAndDoubleClickDoWhatAClickDoes) {
    const ListCase cases[] = {
        {"Liste des bulletins",
         [](KeyboardTest&, Windows& ws) -> QListView& {
             ws.ListeBull->fill({"Bulletin N°1", "Bulletin N°2"});
             ws.ListeBull->show();
             return *ws.ListeBull->ListBull;
         },
         [](KeyboardTest& t, Windows& ws) {
             return t.viewerRuns == 1 && ws.AffBulletins->windowTitle() == "Bulletin N°2" &&
                    ws.ListeBull->isVisible();
         }},
        {"Conférences",
         [](KeyboardTest& t, Windows& ws) -> QListView& {
             ws.Messagerie->fillConferences(buildConferenceList(t.s));
             ws.Messagerie->show();
             ws.Messagerie->ListConf->setCurrentRow(1);
             dynamic_cast<LineListModel&>(*ws.Messagerie->ListMsg->model()).clear();
             return *ws.Messagerie->ListConf;
         },
         [](KeyboardTest&, Windows& ws) {
             return ws.Messagerie->ListMsg->count() == 2 && ws.Messagerie->isVisible();
         }},
        {"Messages",
         [](KeyboardTest& t, Windows& ws) -> QListView& {
             ws.Messagerie->fillConferences(buildConferenceList(t.s));
             ws.Messagerie->ListConfClick();
             ws.Messagerie->show();
             return *ws.Messagerie->ListMsg;
         },
         [](KeyboardTest& t, Windows& ws) {
             return t.viewerRuns == 1 && t.s.store.MessageText == "b" && ws.Messagerie->isVisible();
         }},
        {"Messages personnels",
         [](KeyboardTest& t, Windows& ws) -> QListView& {
             ws.MsgPerso->fillPersonal(REPORTED_TO(t.ui, loadPersonalMessages(t.s, said)));
             ws.MsgPerso->AfficheMsgREP();
             ws.MsgPerso->show();
             return *ws.MsgPerso->ListMsgPerso;
         },
         [](KeyboardTest& t, Windows& ws) {
             return t.viewerRuns == 1 && t.s.store.MessageText == "d" && ws.MsgPerso->isVisible();
         }},
        {"Messages écrits",
         [](KeyboardTest& t, Windows& ws) -> QListView& {
             ws.MsgPerso->AfficheMsgREP();
             ws.MsgPerso->show();
             ws.MsgPerso->ListReponses->setCurrentRow(1);
             t.s.replies.SelectedReply.reset();
             return *ws.MsgPerso->ListReponses;
         },
         [](KeyboardTest& t, Windows& ws) { // "Relire"
             return t.viewerRuns == 1 && ws.MsgPerso->isVisible();
         }},
        {"Choix",
         [](KeyboardTest&, Windows& ws) -> QListView& {
             ws.Liste->ShowTag(LibraryKind::Taglines);
             ws.Liste->chooser.ChooserResult[2].reset();
             ws.Liste->show();
             return *ws.Liste->ListeElem;
         },
         [](KeyboardTest&, Windows& ws) {
             return ws.Liste->chooser.ChooserResult[2] == 1 && !ws.Liste->isVisible();
         }},
    };
    for (const ListCase& c : cases) {
        for (Gesture g : {Gesture::Return, Gesture::KeypadEnter, Gesture::DoubleClick}) {
            viewerRuns = 0;
            s.store.MessageText.clear();
            QListView& list = c.open(*this, *w);
            ASSERT_GE(list.model()->rowCount(), 2) << c.list;
            list.setCurrentIndex(list.model()->index(1, 0));
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
        {"bulletins", [](Windows& ws) -> QWidget& { return *ws.ListeBull; }, 1000},
        {"nouveaux fichiers", [](Windows& ws) -> QWidget& { return *ws.ListeFiles; }, 2000},
        {"messagerie", [](Windows& ws) -> QWidget& { return *ws.Messagerie; }, 3000},
        {"messages personnels", [](Windows& ws) -> QWidget& { return *ws.MsgPerso; }, 4000},
        {"message", [](Windows& ws) -> QWidget& { return *ws.AffMsg; }, 5000},
        {"éditeur", [](Windows& ws) -> QWidget& { return *ws.WriteMsg; }, 6000},
        {"entêtes", [](Windows& ws) -> QWidget& { return *ws.Param1; }, 9001},
        {"configuration", [](Windows& ws) -> QWidget& { return *ws.Param0; }, 8000},
        {"fusion", [](Windows& ws) -> QWidget& { return *ws.Fusion; }, 10000},
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
