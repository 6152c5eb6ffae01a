// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QListView>
#include <QListWidget>

namespace velk {

// A list that shows whole rows only: the height a layout gives it beyond its last whole row
// stays blank instead of showing half a line.
template <class List> class WholeRows : public List {
public:
    explicit WholeRows(QWidget* parent = nullptr) : List(parent) {}

protected:
    void resizeEvent(QResizeEvent* event) override;
};

extern template class WholeRows<QListWidget>;
extern template class WholeRows<QListView>;

class WholeRowsList : public WholeRows<QListWidget> {
public:
    using WholeRows::WholeRows;
};

// A list whose lines its model makes as they are drawn, with a list widget's row calls.
class LineList : public WholeRows<QListView> {
public:
    using WholeRows::WholeRows;
    int count() const;
    int currentRow() const;
    void setCurrentRow(int row);
};

} // namespace velk
