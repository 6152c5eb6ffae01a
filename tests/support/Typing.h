// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace velk {

// Types as a keyboard does: a key press and release per character, carrying its text, so
// accented letters go through the same path as typed ones; a line break is the Enter key.
inline void type(QWidget& widget, const QString& text) {
    for (const QChar c : text) {
        const bool enter = c == QLatin1Char('\n');
        const int key = enter ? Qt::Key_Return : Qt::Key_unknown;
        const QString sent = enter ? QStringLiteral("\r") : QString(c);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, sent);
        QCoreApplication::sendEvent(&widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, sent);
        QCoreApplication::sendEvent(&widget, &release);
    }
}
inline void type(QWidget* widget, const QString& text) {
    type(*widget, text);
}

// Replaces the text of a field as the user would: all selected, erased, then typed.
inline void typeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QCoreApplication::sendEvent(edit, &erase);
    type(*edit, text);
}

} // namespace velk
