// SPDX-License-Identifier: GPL-2.0-or-later
// What every UiServices promises the windows and the logic, whichever program shows them.
#include "cli/CliPacket.h"
#include "tests/support/ScriptedUiServices.h"
#include "ui/widgets/QtUiServices.h"

#include <QGuiApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace velk {

namespace {

// Each implementation as its program makes it, and whether it shows a busy cursor now.
struct Real {
    QtUiServices ui{QString()};
    bool busy() const { return QGuiApplication::overrideCursor(); }
};
struct Scripted {
    ScriptedUiServices ui;
    bool busy() const { return ui.busyDepth() > 0; }
};
struct Headless {
    HeadlessUiServices ui;
    bool busy() const { return false; }
};
struct Cli {
    std::ostringstream out, err;
    CliIo io{out, err};
    CliUiServices ui{io};
    bool busy() const { return false; }
};

template <class Made> class UiServicesContract : public ::testing::Test {
protected:
    Made made;
};
using Implementations = ::testing::Types<Real, Scripted, Headless, Cli>;
TYPED_TEST_SUITE(UiServicesContract, Implementations);

TYPED_TEST(UiServicesContract, TheOpenerIsBackAsItWasOnceItsWindowEndsEvenByAnError) {
    for (const bool shown : {true, false}) {
        QWidget opener;
        opener.setVisible(shown);
        int runs = 0;
        this->made.ui.runHidden(opener, [&] { ++runs; });
        EXPECT_THROW(this->made.ui.runHidden(opener, [&] { throw std::runtime_error("échec"); }),
                     std::runtime_error);
        EXPECT_EQ(runs, 1);
        EXPECT_EQ(opener.isVisible(), shown);
    }
}

TYPED_TEST(UiServicesContract, NestedBusyCursorsLeaveNoneBehind) {
    const bool shows = std::is_same_v<TypeParam, Real> || std::is_same_v<TypeParam, Scripted>;
    {
        BusyCursor outer(this->made.ui);
        BusyCursor(this->made.ui).release();
        EXPECT_EQ(this->made.busy(), shows);
    }
    EXPECT_FALSE(this->made.busy());
}

} // namespace

} // namespace velk
