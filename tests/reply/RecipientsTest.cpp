// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/Recipients.h"
#include "session/Session.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

namespace velk {

namespace {

TEST(Recipients, OkRefusesAnEmptyNameAndTellsWhereACopyGoes) {
    ScriptedUiServices ui;
    NameDialogOutcome o = shown(NameOkClick(NameDialogKind::Recipient, ""), ui);
    EXPECT_FALSE(o.close);
    EXPECT_EQ(ui.messages(),
              QStringList{QStringLiteral("Vous devez choisir/saisir un nom ou Annuler")});

    ui.clear();
    o = shown(NameOkClick(NameDialogKind::Recipient, "JEAN"), ui);
    EXPECT_TRUE(o.close);
    EXPECT_EQ(o.name, "JEAN");
    EXPECT_TRUE(ui.messages().isEmpty());

    o = shown(CorrespondentChosen(NameDialogKind::Carbon, "REN\x90"), ui);
    EXPECT_TRUE(o.close);
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Message envoyé en Carbon Copy à : RENÉ")});
}

TEST(Recipients, CorrespondentNamesLoseTheirLineEnd) {
    Session session;
    session.libraries.CorrespondentList = {{3, false, false, false, "JEAN DUPONT\r\n"},
                                           {1, false, false, false, "ANNE"}};
    EXPECT_EQ(CorrespondentName(session, 0), std::optional<std::string>("JEAN DUPONT"));
    EXPECT_EQ(CorrespondentName(session, 1), std::optional<std::string>("ANNE"));
    EXPECT_FALSE(CorrespondentName(session, std::nullopt));
    EXPECT_FALSE(CorrespondentName(session, 2));
}

} // namespace

} // namespace velk
