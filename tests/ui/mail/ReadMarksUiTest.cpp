// SPDX-License-Identifier: GPL-2.0-or-later
// The browser and the viewer with the board's read marks, through the real modal windows.
#include "mail/Browser.h"
#include "mail/ListModels.h"
#include "mail/ReadingState.h"
#include "tests/support/ModalSteps.h"
#include "tests/support/PacketFixture.h"
#include "tests/support/Reported.h"
#include "ui/mail/ReadMarksView.h"
#include "ui/mail/TAffMsg.h"
#include "ui/mail/TMessagerie.h"
#include "ui/widgets/QtUiServices.h"
#include "ui/widgets/WholeRowsList.h"

#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

namespace velk {

namespace {

class ReadMarksUiTest : public PacketFixture {
protected:
    void SetUp() override {
        PacketFixture::SetUp();
        b.conference(0, "Principal").conference(1001, "Linux");
        for (auto [conf, number] : {std::pair{0, "10"}, {0, "11"}, {1001, "12"}})
            b.add(std::uint16_t(conf), "Sujet", "Texte\n").number = number;
        unpack();
    }
    static std::vector<int> counts(QListWidget* list) {
        std::vector<int> out;
        out.reserve(std::size_t(list->count()));
        for (int row = 0; row < list->count(); ++row)
            out.push_back(list->item(row)->data(kUnreadCountRole).toInt());
        return out;
    }
    // The lines drawn as unread (in bold, with their dot).
    static std::vector<bool> bold(LineList* list) {
        std::vector<bool> out;
        out.reserve(std::size_t(list->count()));
        for (int row = 0; row < list->count(); ++row)
            out.push_back(list->model()->index(row, 0).data(kReadMarkRole) ==
                          int(ReadMark::Unread));
        return out;
    }
};

} // namespace

TEST_F(ReadMarksUiTest, ReadingOnFromUnreadToUnreadUntilNoneIsLeft) {
    QtUiServices real{QString()};
    TMessagerie m(s, real);
    TAffMsg viewer(s, real);
    m.setViewer(viewer);
    m.fillConferences(buildConferenceList(s));
    m.show();
    EXPECT_EQ(counts(m.ListConf), std::vector<int>({2, 1}));
    m.ListConfClick();
    m.ListMsg->setCurrentRow(1);
    m.SuivreBtn->click(); // "à suivre" on message 11, read without being opened
    EXPECT_EQ(bold(m.ListMsg), std::vector<bool>({true, false}));
    EXPECT_EQ(counts(m.ListConf), std::vector<int>({1, 1}));

    QStringList shown;
    QString told;
    ModalSteps steps;
    steps.then("TAffMsg", [&](QWidget&) {
        shown << viewer.chNum->text();
        viewer.NextUnreadBtn->click(); // 11 is marked: on to conference 1001
        shown << viewer.chNum->text();
        EXPECT_FALSE(viewer.FollowBtn->isChecked());
        viewer.NextUnreadBtn->click();
    });
    steps.then("QMessageBox", [&](QWidget& box) {
        told = static_cast<QMessageBox&>(box).text();
        static_cast<QMessageBox&>(box).accept();
        viewer.FermerBtn->click();
    });
    m.ListMsg->setCurrentRow(0);
    m.ListMsgClick();
    EXPECT_TRUE(steps.done());
    EXPECT_EQ(told, kNoMoreUnread);
    EXPECT_EQ(shown.size(), 2);
    EXPECT_NE(shown.value(0), shown.value(1));
    // The browser follows the viewer into the second conference, everything read.
    EXPECT_EQ(m.ListConf->currentRow(), 1);
    EXPECT_EQ(counts(m.ListConf), std::vector<int>({0, 0}));
    EXPECT_EQ(bold(m.ListMsg), std::vector<bool>({false}));

    m.ListConf->setCurrentRow(0);
    EXPECT_EQ(REPORTED_TO(ui, listedMarks(s, said)),
              std::vector<ReadMark>({ReadMark::Read, ReadMark::Followed}));
}

} // namespace velk
