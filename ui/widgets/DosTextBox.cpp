// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/widgets/DosTextBox.h"

#include "core/DosFont.h"
#include "reply/EditorText.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMimeData>
#include <QStyle>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>
#include <climits>

namespace velk {

namespace {

bool isLineBreak(QChar c) {
    return c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// Lengths as a file holds them: a line break is CR LF.
int countedLength(const QString& text) {
    int n = 0;
    for (const QChar c : text)
        n += isLineBreak(c) ? 2 : 1;
    return n;
}

std::size_t dosCountedLength(std::string_view dos) {
    return dos.size() + std::size_t(std::count(dos.begin(), dos.end(), '\n'));
}

// What a key or an input method types: characters to store, not commands.
bool isTypedText(const QString& text, bool tabAllowed) {
    if (text.isEmpty())
        return false;
    for (const char32_t u : text.toUcs4()) {
        if (u == U'\t' ? !tabAllowed : (u < 0x20 || (u >= 0x7F && u < 0xA0)))
            return false;
    }
    return true;
}

QString shownText(std::string_view dos) {
    QStringList lines;
    std::size_t from = 0;
    while (true) {
        const std::size_t end = dos.find('\n', from);
        lines.append(dosLineForDisplay(
            dos.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from)));
        if (end == std::string_view::npos)
            break;
        from = end + 1;
    }
    return lines.join(QLatin1Char('\n'));
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        if (&line != &lines.front())
            text += '\n';
        text += line;
    }
    return text;
}

} // namespace

DosTextBox::DosTextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setFont(dosFont());
    setTabChangesFocus(false);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // What is sent is what a board shows: a tab as eight of the font's cells.
    setTabStopDistance(8 * QFontMetricsF(font()).horizontalAdvance(QLatin1Char('M')));
}

void DosTextBox::setSingleLine(bool single) {
    single_ = single;
    setTabChangesFocus(single);
    if (!single)
        return;
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFixedHeight(fontMetrics().height() + 2 * frameWidth() +
                   2 * int(document()->documentMargin()));
}

int DosTextBox::cellWidth() const {
    return QFontMetrics(font()).horizontalAdvance(QLatin1Char('M'));
}

int DosTextBox::widthFor(int columns) const {
    const bool bar = verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    return columns * cellWidth() + 2 * int(document()->documentMargin()) + 2 * frameWidth() +
           (bar ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) : 0);
}

void DosTextBox::setLineWidth(int columns) {
    columns_ = std::max(columns, 1);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setFixedWidth(widthFor(columns_));
}

void DosTextBox::setDosText(const std::string& dos) {
    setPlainText(shownText(rules_.capitals ? nameCapitals(dos) : dos));
    document()->setModified(false);
}

std::string DosTextBox::dosText() const {
    // Whatever brought the text in, marker bytes never come out of a box that refuses them.
    return pastedToDos(toPlainText(), {.markersRefused = rules_.markersRefused});
}

void DosTextBox::setDosLines(const std::vector<std::string>& lines) {
    setPlainText(shownText(joined(lines)));
    document()->setModified(false);
}

std::vector<std::string> DosTextBox::dosParagraphs() const {
    std::vector<std::string> out;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        out.push_back(pastedToDos(b.text(), {.markersRefused = rules_.markersRefused}));
    return out;
}

std::vector<std::string> DosTextBox::shownLines() const {
    if (columns_ <= 0)
        return dosParagraphs();
    // Each paragraph laid out as the box lays it out, so that the lines sent are the lines
    // the user saw; the blanks a break leaves past the edge are not sent.
    const qreal width = columns_ * QFontMetricsF(font()).horizontalAdvance(QLatin1Char('M'));
    std::vector<std::string> out;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const QString text = b.text();
        QTextLayout layout(text, font());
        layout.setTextOption(document()->defaultTextOption());
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(width);
        layout.endLayout();
        const int count = std::max(layout.lineCount(), 1);
        for (int i = 0; i < count; ++i) {
            QString part = text;
            if (layout.lineCount() > 0)
                part = text.mid(layout.lineAt(i).textStart(), layout.lineAt(i).textLength());
            if (i + 1 < count) {
                while (part.endsWith(QLatin1Char(' ')))
                    part.chop(1);
            }
            // No line may pass the width, whatever the font did.
            for (std::string& piece : WrapLines({unicodeToDos(part)}, columns_))
                out.push_back(std::move(piece));
        }
    }
    return out;
}

int DosTextBox::room() const {
    if (limit_ <= 0)
        return INT_MAX;
    const int used = countedLength(toPlainText()) - countedLength(textCursor().selectedText());
    return std::max(0, limit_ - used);
}

QString DosTextBox::shownAfterLimit(std::string dos) const {
    if (single_)
        std::replace(dos.begin(), dos.end(), '\n', ' ');
    dos = withRules(std::move(dos), rules_);
    const std::size_t room = std::size_t(this->room());
    while (dosCountedLength(dos) > room)
        dos.pop_back();
    return shownText(dos);
}

void DosTextBox::insertDos(std::string dos) {
    const QString shown = shownAfterLimit(std::move(dos));
    if (!shown.isEmpty())
        insertPlainText(shown);
}

void DosTextBox::insertLinesAt(QTextCursor::MoveOperation where,
                               const std::vector<std::string>& lines) {
    if (lines.empty())
        return;
    QTextCursor cursor(document());
    cursor.movePosition(where);
    const QString shown = shownText(joined(lines));
    cursor.beginEditBlock();
    cursor.insertText(where == QTextCursor::Start ? QString(shown + QLatin1Char('\n'))
                                                  : QString(QLatin1Char('\n') + shown));
    cursor.endEditBlock();
}

void DosTextBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (single_) {
            if (isSignalConnected(QMetaMethod::fromSignal(&DosTextBox::returnPressed))) {
                Q_EMIT returnPressed();
                event->accept();
            } else {
                event->ignore(); // the dialog's default button
            }
            return;
        }
        // A plain line break whatever the modifiers, never a line separator.
        if (!isReadOnly())
            insertDos("\n");
        event->accept();
        return;
    }
    // Control with a key is a command, as in any text box; with Alt too it is the AltGr of
    // some keyboards, which types.
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool command = (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier);
    if (!command && !isReadOnly() && isTypedText(event->text(), !single_)) {
        insertDos(typedToDos(event->text()));
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void DosTextBox::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty() || isReadOnly()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent typed(event->preeditString(), event->attributes());
    typed.setCommitString(shownAfterLimit(typedToDos(event->commitString())),
                          event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&typed);
}

void DosTextBox::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText() || isReadOnly())
        return;
    insertDos(pastedToDos(source->text()));
}

} // namespace velk
