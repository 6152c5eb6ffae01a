// SPDX-License-Identifier: GPL-2.0-or-later
// The DOS text box under its options, through the key, input-method and paste events a user
// sends it.
#include "ui/widgets/DosTextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace velk {

namespace {

// One key event per character carrying its text, as a keyboard sends é.
void type(QWidget& box, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(&box, &press);
    }
}

void key(QWidget& box, int code, Qt::KeyboardModifiers mods = Qt::NoModifier,
         const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, code, mods, text);
    QCoreApplication::sendEvent(&box, &press);
}

void paste(DosTextBox& box, const QString& text) {
    QApplication::clipboard()->setText(text);
    box.paste();
}

struct Options {
    DosInputRules rules;
    bool singleLine = false;
    int limit = 0;
};

TEST(DosTextBox, TypedPastedAndComposedTextUnderEachOption) {
    struct Case {
        const char* what;
        Options options;
        QString typed, pasted, composed;
        std::string dos;
    } const cases[] = {
        {"plain",
         {},
         QStringLiteral("é²"),
         QStringLiteral("«ç»\r\nb"),
         QStringLiteral("ù"),
         "\x82\xFD\xAE\x87\xAF\nb\x97"},
        {"library",
         {.rules = {.markersRefused = true}},
         QStringLiteral("«¡"),
         QStringLiteral("»x"),
         QStringLiteral("«"),
         "\"!\"x\""},
        {"name",
         {.rules = {.capitals = true}, .singleLine = true, .limit = 10},
         QStringLiteral("rené "),
         QStringLiteral("du\npont-lavallée"),
         QStringLiteral("x"),
         "REN\x90 DU PO"},
    };
    for (const Case& c : cases) {
        DosTextBox box;
        box.setRules(c.options.rules);
        box.setSingleLine(c.options.singleLine);
        box.setLimit(c.options.limit);
        type(box, c.typed);
        paste(box, c.pasted);
        QInputMethodEvent composed;
        composed.setCommitString(c.composed);
        QCoreApplication::sendEvent(&box, &composed);
        EXPECT_EQ(box.dosText(), c.dos) << c.what;
    }
}

TEST(DosTextBox, ControlKeysStayCommands) {
    DosTextBox box;
    type(box, QStringLiteral("abc"));
    key(box, Qt::Key_A, Qt::ControlModifier, QStringLiteral("\x01"));
    key(box, Qt::Key_C, Qt::ControlModifier, QStringLiteral("\x03"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("abc"));
    key(box, Qt::Key_Z, Qt::ControlModifier, QStringLiteral("z"));
    const std::string undone = box.dosText();
    EXPECT_LT(undone.size(), 3u) << "Ctrl+Z undoes";
    EXPECT_EQ(undone.find('z'), std::string::npos) << "and types no z";
    // Control with Alt is AltGr on some keyboards: it types.
    box.moveCursor(QTextCursor::End);
    key(box, Qt::Key_E, Qt::ControlModifier | Qt::AltModifier, QStringLiteral("é"));
    EXPECT_EQ(box.dosText(), undone + "\x82");
}

TEST(DosTextBox, EnterInEachKindOfBox) {
    DosTextBox text;
    type(text, QStringLiteral("a"));
    key(text, Qt::Key_Return, Qt::ShiftModifier, QStringLiteral("\r"));
    type(text, QStringLiteral("b"));
    EXPECT_EQ(text.dosParagraphs(), (std::vector<std::string>{"a", "b"}));

    DosTextBox readOnly;
    readOnly.setReadOnly(true);
    key(readOnly, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    type(readOnly, QStringLiteral("x"));
    paste(readOnly, QStringLiteral("y"));
    EXPECT_EQ(readOnly.dosText(), "");

    DosTextBox single;
    single.setSingleLine(true);
    QKeyEvent unheard(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(&single, &unheard);
    EXPECT_FALSE(unheard.isAccepted()) << "left to the dialog's default button";
    QSignalSpy entered(&single, &DosTextBox::returnPressed);
    QKeyEvent heard(QEvent::KeyPress, Qt::Key_Enter, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(&single, &heard);
    EXPECT_EQ(entered.count(), 1);
    EXPECT_TRUE(heard.isAccepted());
    EXPECT_EQ(single.dosText(), "");
}

TEST(DosTextBox, APresetNameTakesCapitals) {
    DosTextBox name;
    name.setRules({.capitals = true});
    name.setDosText("jean \x82t\x82");
    EXPECT_EQ(name.dosText(), "JEAN \x90T\x90");
    EXPECT_EQ(name.toPlainText(), QStringLiteral("JEAN ÉTÉ"));
}

TEST(DosTextBox, InsertedLinesAreOneEditThatUndoTakesBack) {
    DosTextBox box;
    type(box, QStringLiteral("milieu"));
    box.moveCursor(QTextCursor::Left);
    box.insertLinesAt(QTextCursor::Start, {"Bonjour,", " "});
    box.insertLinesAt(QTextCursor::End, {"", "Amicalement"});
    EXPECT_EQ(box.dosParagraphs(),
              (std::vector<std::string>{"Bonjour,", " ", "milieu", "", "Amicalement"}));
    // The caret stayed on the letter it was before.
    EXPECT_EQ(box.textCursor().block().text(), QStringLiteral("milieu"));
    EXPECT_EQ(box.textCursor().positionInBlock(), 5);
    box.undo();
    box.undo();
    EXPECT_EQ(box.dosText(), "milieu");
    box.undo();
    EXPECT_NE(box.dosText(), "milieu") << "the typing before stays undoable";
}

} // namespace

} // namespace velk
