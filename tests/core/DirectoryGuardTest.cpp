// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/DirectoryGuard.h"
#include "core/TwoDigitYear.h"

#include <QDir>

#include <gtest/gtest.h>

namespace velk {

TEST(DirectoryGuard, RefusesAWorkDirectoryHoldingTheUsersFiles) {
    const QString home = QDir::homePath();
    const QString velk = home + QStringLiteral("/VELK");
    auto conflict = [&](const QString& work) {
        return workDirectoryConflict(work, velk, velk, velk + QStringLiteral("/QWK"),
                                     velk + QStringLiteral("/REP"));
    };
    EXPECT_TRUE(conflict(velk + QStringLiteral("/WORK")).isEmpty());
    EXPECT_TRUE(conflict(QStringLiteral("/tmp/velk-work")).isEmpty());
    // The first-use default puts every directory in the program directory.
    EXPECT_TRUE(conflict(velk).contains(QStringLiteral("répertoire du programme")));
    EXPECT_TRUE(conflict(velk + QStringLiteral("/"))
                    .startsWith(QStringLiteral("Le répertoire temporaire de travail ( ")));
    EXPECT_FALSE(conflict(velk + QStringLiteral("/QWK")).isEmpty());
    EXPECT_FALSE(conflict(home).isEmpty());
    EXPECT_FALSE(conflict(QStringLiteral("/")).isEmpty());
    EXPECT_FALSE(conflict(QString()).isEmpty());
}

TEST(DirectoryGuard, NamesTheDirectoryConcerned) {
    const QString home = QDir::homePath();
    const QString program = home + QStringLiteral("/VELK");
    const QString data = home + QStringLiteral("/Courrier");
    const QString qwk = data + QStringLiteral("/QWK");
    auto conflict = [&](const QString& work) {
        return workDirectoryConflict(work, program, data, qwk, data + QStringLiteral("/REP"));
    };
    struct Case {
        QString work;
        QString named;
    };
    const Case cases[] = {
        // The directory the work directory is comes before those it holds.
        {data, QStringLiteral("le répertoire d'installation ( ") + data},
        {qwk, QStringLiteral("le répertoire des fichiers *.QWK ( ") + qwk},
        {program + QStringLiteral("/"), QStringLiteral("le répertoire du programme ( ") + program},
        {program + QStringLiteral("/WORK/.."),
         QStringLiteral("le répertoire du programme ( ") + program},
        {qwk + QStringLiteral("/../.."), QString()}, // home: the user's files
    };
    for (const Case& c : cases) {
        const QString message = conflict(c.work);
        EXPECT_TRUE(message.startsWith(QStringLiteral("Le répertoire temporaire de travail ( ") +
                                       c.work + QStringLiteral(" )")))
            << message.toStdString();
        const QString expected =
            c.named.isEmpty()
                ? QStringLiteral(" contient vos fichiers personnels.")
                : QStringLiteral(" est ") + c.named + QStringLiteral(" ) ou l'un de ses parents.");
        EXPECT_TRUE(message.contains(expected)) << message.toStdString();
    }
    EXPECT_TRUE(conflict(program + QStringLiteral("/WORK")).isEmpty());
}

TEST(TwoDigitYear, SlidingWindowAroundToday) {
    const QDate today(2026, 12, 7);
    EXPECT_EQ(fullYear(96, today), 1996);
    EXPECT_EQ(fullYear(99, today), 1999);
    EXPECT_EQ(fullYear(0, today), 2000);
    EXPECT_EQ(fullYear(26, today), 2026);
    EXPECT_EQ(fullYear(45, today), 2045);
    EXPECT_EQ(fullYear(46, today), 1946);
    EXPECT_EQ(fullYear(1996, today), 1996);
}

} // namespace velk
