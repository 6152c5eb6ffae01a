// SPDX-License-Identifier: GPL-2.0-or-later
// Every window at its own size, with the fonts of the machine: no caption cut, no scroll bar
// past the edge, no list row shown in half.
#include "core/DosFont.h"
#include "tests/support/ProgramDir.h"
#include "tests/support/ScriptedUiServices.h"
#include "ui/library/TListe.h"
#include "ui/library/TParam1.h"
#include "ui/library/TParam2.h"
#include "ui/library/TParam3.h"
#include "ui/library/TParam4.h"
#include "ui/mail/TAffMsg.h"
#include "ui/mail/TMessagerie.h"
#include "ui/mail/TMsgPerso.h"
#include "ui/mail/TRecherche.h"
#include "ui/main/TAboutBox.h"
#include "ui/main/TDiversConfig.h"
#include "ui/main/TForm1.h"
#include "ui/main/TParam0.h"
#include "ui/main/TPrinterConfig.h"
#include "ui/main/Windows.h"
#include "ui/merge/TFusion.h"
#include "ui/merge/TWaitFusion.h"
#include "ui/packet/TAffBulletins.h"
#include "ui/packet/TListeBull.h"
#include "ui/packet/TListeFiles.h"
#include "ui/packet/TQWK.h"
#include "ui/reply/TCarbon.h"
#include "ui/reply/TDestin.h"
#include "ui/reply/TWriteMsg.h"
#include "ui/widgets/WholeRowsList.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QStringListModel>

#include <gtest/gtest.h>

namespace velk {

namespace {

QString nameOf(const QWidget& w) {
    const auto* button = qobject_cast<const QAbstractButton*>(&w);
    const auto* label = qobject_cast<const QLabel*>(&w);
    const QString text = button ? button->text() : label ? label->text() : QString();
    return QString::fromLatin1(w.metaObject()->className()) + QLatin1Char(' ') + w.objectName() +
           QStringLiteral(" \"") + text + QLatin1Char('"');
}

// What a user would find cut in a shown window.
QStringList cutParts(QWidget& window) {
    QStringList cut;
    const QRect inside = window.rect();
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window) || w->isWindow())
            continue;
        const QRect where(w->mapTo(&window, QPoint(0, 0)), w->size());
        const bool text = qobject_cast<QAbstractButton*>(w) ||
                          (qobject_cast<QLabel*>(w) && !static_cast<QLabel*>(w)->wordWrap() &&
                           !static_cast<QLabel*>(w)->text().isEmpty());
        const bool bar = qobject_cast<QScrollBar*>(w);
        if ((text || bar) && !inside.contains(where))
            cut << nameOf(*w) + QStringLiteral(" passe le bord");
        if (text && w->width() < w->minimumSizeHint().width())
            cut << nameOf(*w) + QStringLiteral(" coupé");
    }
    for (QListView* list : window.findChildren<QListView*>()) {
        const int row = list->sizeHintForRow(0);
        if (list->isVisibleTo(&window) && row > 0 &&
            list->model()->rowCount() * row > list->viewport()->height() &&
            list->viewport()->height() % row != 0)
            cut << nameOf(*list) + QStringLiteral(" montre une ligne à moitié");
    }
    return cut;
}

TEST(WindowLayout, NothingIsCutInAnyWindow) {
    const int font = registerDosFont(QStringLiteral(VELK_FONT_FILE));
    ASSERT_GE(font, 0);
    ProgramDir dir;
    ScriptedUiServices ui;
    const auto windows = createWindows(dir.session, ui);
    // The main window is left out: its first showing opens the settings.
    const QList<QWidget*> all = {
        windows->QWK.get(),          windows->ListeBull.get(),  windows->AboutBox.get(),
        windows->AffBulletins.get(), windows->ListeFiles.get(), windows->MsgPerso.get(),
        windows->Messagerie.get(),   windows->AffMsg.get(),     windows->WriteMsg.get(),
        windows->Param1.get(),       windows->Param2.get(),     windows->Liste.get(),
        windows->Param3.get(),       windows->Carbon.get(),     windows->Param0.get(),
        windows->Param4.get(),       windows->Destin.get(),     windows->PrinterConfig.get(),
        windows->DiversConfig.get(), windows->WaitFusion.get(), windows->Fusion.get(),
        windows->Recherche.get()};
    for (QWidget* window : all) {
        // Lists full of lines, so that their rows show.
        for (QListWidget* list : window->findChildren<QListWidget*>()) {
            for (int i = list->count(); i < 60; ++i)
                list->addItem(QStringLiteral("Ligne %1").arg(i));
        }
        // Lists whose model makes the lines: the lines of another model.
        for (LineList* list : window->findChildren<LineList*>()) {
            QStringList lines;
            for (int i = 0; i < 60; ++i)
                lines << QStringLiteral("Ligne %1").arg(i);
            list->setModel(new QStringListModel(lines, list));
        }
        window->show();
        QApplication::processEvents();
        EXPECT_EQ(cutParts(*window), QStringList()) << window->metaObject()->className();
        window->hide();
    }
    ui.events(); // what the windows say on showing is not this test's matter
    unregisterDosFont(font);
}

} // namespace

} // namespace velk
