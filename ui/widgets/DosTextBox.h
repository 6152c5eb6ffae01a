// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/CharacterSet.h"

#include <QPlainTextEdit>
#include <QTextCursor>

#include <string>
#include <vector>

namespace velk {

// A text box holding DOS bytes shown as their code page 437 glyphs in the console font.
// Typed characters go through the keyboard table, pasted text through the code page, both
// under the box's rules (capitals, marker bytes refused); Control with a key stays a
// command. An optional limit counts a line break as two characters (CR LF).
class DosTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DosTextBox(QWidget* parent = nullptr);

    void setRules(DosInputRules rules) { rules_ = rules; }
    DosInputRules rules() const { return rules_; }
    void setLimit(int characters) { limit_ = characters; }
    int limit() const { return limit_; }
    // One line, no line break taken, tab moves the focus; Enter gives returnPressed when
    // something listens, else goes to the dialog's default button.
    void setSingleLine(bool single);
    // Exactly `columns` cells of text between the margins, wrapped at the last blank that
    // fits, else anywhere.
    void setLineWidth(int columns);
    int lineWidth() const { return columns_; }
    // The box's width for `columns` cells of text, and one cell.
    int widthFor(int columns) const;
    int cellWidth() const;

    // A text set by the program: capitals when the box keeps them, nothing else changed.
    void setDosText(const std::string& dos);
    std::string dosText() const;
    void setDosLines(const std::vector<std::string>& lines);
    // One entry per paragraph, as typed (not cut at the line width).
    std::vector<std::string> dosParagraphs() const;
    // The lines as the box lays them out at its line width: what is sent.
    std::vector<std::string> shownLines() const;
    // Inserts DOS bytes at the caret under the rules, as far as the limit allows.
    void insertDos(std::string dos);
    // Inserts lines at the start or the end of the text as one edit that undo takes back;
    // the caret stays on the text it was on.
    void insertLinesAt(QTextCursor::MoveOperation where, const std::vector<std::string>& lines);

Q_SIGNALS:
    void returnPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // How many more characters the limit allows once the selection is replaced.
    int room() const;
    QString shownAfterLimit(std::string dos) const;

    DosInputRules rules_;
    int limit_ = 0;
    int columns_ = 0;
    bool single_ = false;
};

} // namespace velk
