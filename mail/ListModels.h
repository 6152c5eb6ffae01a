// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "board/ReadMarks.h"
#include "mail/BrowserState.h"
#include "mail/PacketSearch.h"

#include <QAbstractListModel>

#include <cstddef>
#include <memory>
#include <vector>

namespace velk {

// The data role of a line's read mark (a ReadMark as an int), where the list has marks.
inline constexpr int kReadMarkRole = Qt::UserRole + 8;

// A list whose lines are made as a view draws them, from what the logic keeps of each
// message, rather than stored one string each: a list costs what is on the screen. The
// view gives the font and the columns; the rows are those the model was last told of.
class LineListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The rows become those of lineCount() once `change` has run (also when it throws):
    // `change` may replace what the lines are made from.
    template <class Change> void reset(Change&& change) {
        beginResetModel();
        try {
            change();
        } catch (...) {
            endReset();
            throw;
        }
        endReset();
    }
    // No rows until the next reset.
    void clear();
    // The read mark of each row, row for row, drawn beside its line; a row past their end
    // has none. A reset keeps them: the window gives those of the new rows after it.
    void setMarks(std::vector<ReadMark> marks);

protected:
    virtual std::size_t lineCount() const = 0;
    // The text of a row as drawn.
    virtual QString text(std::size_t row) const = 0;
    // What a row shows besides its text (a mark as a font weight or colour); nothing here.
    virtual QVariant rowData(std::size_t row, int role) const;
    // Runs `add`, which appends lines at the end, as an insertion of rows.
    template <class Add> void addRows(std::size_t count, Add&& add) {
        if (count == 0)
            return;
        beginInsertRows(QModelIndex(), int(rows_), int(rows_ + count - 1));
        add();
        rows_ = lineCount();
        endInsertRows();
    }

private:
    void endReset();

    std::size_t rows_ = 0;
    std::vector<ReadMark> marks_;
};

// The browser's message list: the loaded conference in its order (ListedPositions).
class MessageListModel : public LineListModel {
public:
    MessageListModel(const BrowserState& browser, QObject* parent = nullptr)
        : LineListModel(parent), browser_(browser) {}

protected:
    std::size_t lineCount() const override { return browser_.ListedPositions.size(); }
    QString text(std::size_t row) const override;

private:
    const BrowserState& browser_;
};

// The personal messages of the written-messages manager, in the personal list's order.
class PersonalListModel : public LineListModel {
public:
    using LineListModel::LineListModel;
    void setMessages(std::vector<ListedMessage> messages);

protected:
    std::size_t lineCount() const override { return messages_.size(); }
    QString text(std::size_t row) const override;

private:
    std::vector<ListedMessage> messages_;
};

// A search result as a line: conference, number, date, author, subject in columns.
QString searchResultLine(const SearchHit& hit);

// The results of a search as they come. Given a reader, the model keeps only where each
// hit is (8 bytes) and reads it again to draw its line; otherwise it keeps the hits whole.
class SearchResultModel : public LineListModel {
public:
    using LineListModel::LineListModel;
    ~SearchResultModel() override;
    const std::vector<SearchHit>& hits() const { return hits_; }
    std::size_t hitCount() const { return lineCount(); }
    std::int32_t headerBlock(std::size_t row) const;
    // Empties the list and the hits; the hits to come are read again by `reader`, if any.
    void clearHits(std::unique_ptr<SearchHitReader> reader = nullptr);
    // The hits found by one more slice of a search become rows.
    void addHits(std::vector<SearchHit> found);

protected:
    std::size_t lineCount() const override { return reader_ ? places_.size() : hits_.size(); }
    QString text(std::size_t row) const override;

private:
    struct Place {
        std::int32_t headerBlock;
        std::int32_t conferenceNumber;
    };
    std::vector<SearchHit> hits_;
    std::unique_ptr<SearchHitReader> reader_;
    std::vector<Place> places_;
};

} // namespace velk
