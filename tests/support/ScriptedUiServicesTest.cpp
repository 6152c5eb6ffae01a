// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>

namespace velk {

namespace {

// What a test does with its services before they end, and what the end then reports
// (empty: nothing).
struct Case {
    const char* what;
    std::function<void(ScriptedUiServices&)> script;
    const char* report;
};

const Case kCases[] = {
    {"an answer used",
     [](ScriptedUiServices& ui) {
         ui.answerYesNo(true);
         ui.askYesNo(QStringLiteral("Continuer ?"), {});
     },
     ""},
    {"an answer never used", [](ScriptedUiServices& ui) { ui.answerOpenFile(QString()); },
     "scripted answer never used: open dialog"},
    {"information nobody read",
     [](ScriptedUiServices& ui) {
         ui.message(QStringLiteral("Terminé."), MessageKind::Information, {});
     },
     ""},
    {"a warning nobody read",
     [](ScriptedUiServices& ui) {
         ui.message(QStringLiteral("Refusé."), MessageKind::Warning, {});
     },
     "message the test did not expect: Refusé."},
    {"an error the test read",
     [](ScriptedUiServices& ui) {
         ui.message(QStringLiteral("Erreur E/S"), MessageKind::Error, {});
         EXPECT_EQ(ui.messages().size(), 1);
     },
     ""},
    {"an error after the test read the others",
     [](ScriptedUiServices& ui) {
         ui.message(QStringLiteral("Première"), MessageKind::Error, {});
         EXPECT_EQ(ui.texts().size(), 1);
         ui.message(QStringLiteral("Seconde"), MessageKind::Error, {});
     },
     "message the test did not expect: Seconde"},
    {"an error cleared away unread",
     [](ScriptedUiServices& ui) {
         ui.message(QStringLiteral("Perdue"), MessageKind::Error, {});
         ui.clear();
         EXPECT_TRUE(ui.events().empty());
     },
     "message the test did not expect: Perdue"},
};

TEST(ScriptedUiServicesTest, FailsTheTestAtItsEnd) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        if (*c.report) {
            EXPECT_NONFATAL_FAILURE(
                {
                    ScriptedUiServices ui;
                    c.script(ui);
                },
                c.report);
        } else {
            ScriptedUiServices ui;
            c.script(ui);
        }
    }
}

} // namespace

} // namespace velk
