// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/ListModels.h"

#include "core/CharacterSet.h"
#include "core/VelkError.h"
#include "mail/Browser.h"
#include "mail/PersonalMail.h"

namespace velk {

int LineListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_);
}

QVariant LineListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || std::size_t(index.row()) >= rows_)
        return QVariant();
    if (role == Qt::DisplayRole)
        return text(std::size_t(index.row()));
    if (role == kReadMarkRole) {
        const auto row = std::size_t(index.row());
        return row < marks_.size() ? QVariant(int(marks_[row])) : QVariant();
    }
    return rowData(std::size_t(index.row()), role);
}

QVariant LineListModel::rowData(std::size_t, int) const {
    return QVariant();
}

void LineListModel::clear() {
    beginResetModel();
    rows_ = 0;
    endResetModel();
}

void LineListModel::setMarks(std::vector<ReadMark> marks) {
    marks_ = std::move(marks);
    if (rows_ > 0)
        Q_EMIT dataChanged(index(0), index(int(rows_) - 1), {kReadMarkRole});
}

void LineListModel::endReset() {
    rows_ = lineCount();
    endResetModel();
}

QString MessageListModel::text(std::size_t row) const {
    return dosToUnicode(browserLine(browser_, row));
}

void PersonalListModel::setMessages(std::vector<ListedMessage> messages) {
    reset([&] { messages_ = std::move(messages); });
}

QString PersonalListModel::text(std::size_t row) const {
    return dosToUnicode(personalLine(messages_[row]));
}

QString searchResultLine(const SearchHit& h) {
    return QString::number(h.conferenceNumber).leftJustified(6) + h.number.leftJustified(8) +
           h.date.leftJustified(10) + h.author.left(25).leftJustified(26) + h.subject;
}

SearchResultModel::~SearchResultModel() = default;

std::int32_t SearchResultModel::headerBlock(std::size_t row) const {
    return reader_ ? places_[row].headerBlock : hits_[row].headerBlock;
}

QString SearchResultModel::text(std::size_t row) const {
    if (!reader_)
        return searchResultLine(hits_[row]);
    try {
        return searchResultLine(
            reader_->hit(places_[row].conferenceNumber, places_[row].headerBlock));
    } catch (const VelkError&) {
        // The file was read when the hit was found; a line is never worth a failure in a paint.
        return QString();
    }
}

void SearchResultModel::clearHits(std::unique_ptr<SearchHitReader> reader) {
    reset([&] {
        hits_.clear();
        places_.clear();
        places_.shrink_to_fit();
        reader_ = std::move(reader);
    });
}

void SearchResultModel::addHits(std::vector<SearchHit> found) {
    addRows(found.size(), [&] {
        if (reader_) {
            for (const SearchHit& h : found)
                places_.push_back({h.headerBlock, h.conferenceNumber});
            return;
        }
        hits_.insert(hits_.end(), std::make_move_iterator(found.begin()),
                     std::make_move_iterator(found.end()));
    });
}

} // namespace velk
