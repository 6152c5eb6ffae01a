// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/DosFont.h"
#include "mail/Browser.h"
#include "tests/support/ModalSteps.h"
#include "tests/support/PacketFixture.h"
#include "tests/support/Reported.h"
#include "ui/mail/TAffMsg.h"
#include "ui/mail/TMessagerie.h"
#include "ui/mail/TReponses.h"
#include "ui/widgets/QtUiServices.h"

#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace velk {

// A thread of three in the browser's thread order: the viewer follows it up, then down
// through the real "Réponses" window.
class ThreadViewerTest : public PacketFixture {};

TEST_F(ThreadViewerTest, TheOriginAndTheAnswersThroughTheRealWindows) {
    b.conference(1, "Fils");
    const char* const specs[][3] = {{"10", "", "Question"},
                                    {"11", "10", "Re: Question"},
                                    {"12", "10", "Autre avis"},
                                    {"13", "", "Seul"}};
    for (const auto& [number, reference, subject] : specs) {
        PacketMessage& m = b.add(1, subject, "Texte\n");
        m.number = number;
        m.reference = reference;
    }
    unpack();
    buildConferenceList(s);
    s.browser.SortOrder = MessageOrder::Thread;
    const std::vector<std::string> lines = REPORTED_TO(ui, listConference(s, said, 0));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1].substr(63, 14), "  Re: Question");

    QtUiServices real{QString()};
    TAffMsg w(s, real);
    s.browser.CurrentListIndex = 2; // "Autre avis"
    ASSERT_TRUE(w.AfficheMsg());
    w.show();
    w.OrigineBtn->click();
    EXPECT_EQ(w.ChSujet->text().trimmed(), "Question");
    EXPECT_EQ(s.browser.CurrentListIndex, 0);

    ModalSteps steps;
    QStringList offered;
    steps.then("TReponses", [&](QWidget& d) {
        auto& r = static_cast<TReponses&>(d);
        for (int i = 0; i < r.ListReponses->count(); ++i)
            offered.append(r.ListReponses->item(i)->text().mid(63).trimmed());
        r.ListReponses->setCurrentRow(1);
        r.LireBtn->click();
    });
    w.ReponsesBtn->click();
    EXPECT_TRUE(steps.done());
    EXPECT_EQ(offered, QStringList({"Re: Question", "Autre avis"}));
    EXPECT_EQ(w.ChSujet->text().trimmed(), "Autre avis");

    QString told;
    steps.then("QMessageBox", [&](QWidget& box) {
        told = static_cast<QMessageBox&>(box).text();
        static_cast<QMessageBox&>(box).accept();
    });
    w.ReponsesBtn->click();
    EXPECT_TRUE(steps.done());
    EXPECT_EQ(told, "Aucune réponse à ce message dans ce paquet.");
}

} // namespace velk
