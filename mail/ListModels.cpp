// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/ListModels.h"

#include "core/CharacterSet.h"
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

void SearchResultModel::clearHits() {
    reset([&] { hits_.clear(); });
}

void SearchResultModel::addHits(std::vector<SearchHit> found) {
    addRows(found.size(), [&] {
        hits_.insert(hits_.end(), std::make_move_iterator(found.begin()),
                     std::make_move_iterator(found.end()));
    });
}

} // namespace velk
