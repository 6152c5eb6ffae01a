// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/NumberOrder.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <limits>
#include <numeric>
#include <utility>

namespace velk {

namespace {

// The messages a pass may still reach, searched by rank and day: the first in file order
// whose rank and day are both within bounds. A Fenwick tree over the ranks; each of its
// nodes keeps its messages sorted by day, with a tree of the least file position over
// them. A search and a removal each cost log² n.
class ReachIndex {
public:
    static constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

    ReachIndex(const std::vector<std::uint32_t>& rank, const std::vector<std::uint32_t>& day,
               std::uint32_t ranks)
        : rank_(rank), start_(std::size_t(ranks) + 2, 0) {
        const std::size_t n = rank.size();
        std::vector<std::uint32_t> byDay(n);
        std::iota(byDay.begin(), byDay.end(), std::uint32_t(0));
        std::stable_sort(byDay.begin(), byDay.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return day[a] < day[b]; });
        std::vector<std::uint32_t> pathStart(n + 1, 0);
        for (std::uint32_t p = 0; p < n; ++p) {
            std::uint32_t nodes = 0;
            for (std::size_t j = rank[p] + 1; j <= ranks; j += j & (~j + 1)) {
                ++start_[j + 1];
                ++nodes;
            }
            pathStart[p + 1] = pathStart[p] + nodes;
        }
        for (std::size_t j = 1; j < start_.size(); ++j)
            start_[j] += start_[j - 1];
        slotDay_.resize(start_.back());
        tree_.assign(2 * start_.back(), kNone);
        slotOnPath_.resize(pathStart.back());
        std::vector<std::size_t> filled(start_.begin(), start_.end() - 1);
        for (std::uint32_t p : byDay) {
            std::uint32_t k = pathStart[p];
            for (std::size_t j = rank[p] + 1; j <= ranks; j += j & (~j + 1)) {
                const std::size_t slot = filled[j]++;
                slotDay_[slot] = day[p];
                tree_[2 * start_[j] + size(j) + (slot - start_[j])] = p;
                slotOnPath_[k++] = std::uint32_t(slot - start_[j]);
            }
        }
        pathStart_ = std::move(pathStart);
        for (std::size_t j = 1; j <= ranks; ++j) {
            std::uint32_t* t = tree(j);
            for (std::size_t i = size(j); i-- > 1;)
                t[i] = std::min(t[2 * i], t[2 * i + 1]);
        }
    }

    // The least position whose rank is at most maxRank and day at most maxDay, or kNone.
    std::uint32_t first(std::uint32_t maxRank, std::uint32_t maxDay) const {
        std::uint32_t best = kNone;
        for (std::size_t j = std::size_t(maxRank) + 1; j > 0; j -= j & (~j + 1)) {
            const std::uint32_t* t = tree(j);
            const std::size_t m = size(j);
            if (m == 0 || t[1] >= best)
                continue; // nothing in the node comes before the best already found
            const std::uint32_t* days = slotDay_.data() + start_[j];
            if (days[0] > maxDay)
                continue;
            const std::size_t k = std::size_t(std::upper_bound(days, days + m, maxDay) - days);
            for (std::size_t l = m, r = m + k; l < r; l /= 2, r /= 2) {
                if (l & 1)
                    best = std::min(best, t[l++]);
                if (r & 1)
                    best = std::min(best, t[--r]);
            }
        }
        return best;
    }

    void remove(std::uint32_t p) {
        std::uint32_t k = pathStart_[p];
        for (std::size_t j = std::size_t(rank_[p]) + 1; j + 1 < start_.size(); j += j & (~j + 1)) {
            std::uint32_t* t = tree(j);
            std::size_t i = size(j) + slotOnPath_[k++];
            t[i] = kNone;
            for (i /= 2; i >= 1; i /= 2)
                t[i] = std::min(t[2 * i], t[2 * i + 1]);
        }
    }

private:
    std::size_t size(std::size_t j) const { return start_[j + 1] - start_[j]; }
    std::uint32_t* tree(std::size_t j) { return tree_.data() + 2 * start_[j]; }
    const std::uint32_t* tree(std::size_t j) const { return tree_.data() + 2 * start_[j]; }

    const std::vector<std::uint32_t>& rank_;
    std::vector<std::size_t> start_;       // node j's slots: [start_[j], start_[j + 1])
    std::vector<std::uint32_t> slotDay_;   // each slot's day, ascending within a node
    std::vector<std::uint32_t> tree_;      // per node, 2 x its slots: least positions
    std::vector<std::uint32_t> pathStart_; // a message's slots, node after node of its path
    std::vector<std::uint32_t> slotOnPath_;
};

// Ranks of `values`, 0 for the least, equal values sharing a rank; the count of ranks.
template <typename T, typename Less>
std::uint32_t ranksOf(std::size_t n, T value, Less less, std::vector<std::uint32_t>& rank) {
    std::vector<std::uint32_t> sorted(n);
    std::iota(sorted.begin(), sorted.end(), std::uint32_t(0));
    std::sort(sorted.begin(), sorted.end(),
              [&](std::uint32_t a, std::uint32_t b) { return less(value(a), value(b)); });
    rank.assign(n, 0);
    std::uint32_t r = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && less(value(sorted[i - 1]), value(sorted[i])))
            ++r;
        rank[sorted[i]] = r;
    }
    return n ? r + 1 : 0;
}

// The passes walked message by message over the index: O(n log² n) whatever the shape.
// `numbers` are the numbers as keys that compare as their texts do.
std::vector<std::uint32_t> walkOrder(const std::vector<ListedMessage>& entries,
                                     const std::vector<std::uint64_t>& numbers) {
    const std::size_t n = entries.size();
    std::vector<std::uint32_t> rank;
    const std::uint32_t ranks = ranksOf(
        n, [&](std::uint32_t i) { return numbers[i]; }, std::less<>(), rank);
    // A date that is no day ranks below every day, so that it passes every date test.
    std::vector<std::uint32_t> day;
    ranksOf(
        n,
        [&](std::uint32_t i) {
            return entries[i].dateValue.value_or(std::numeric_limits<std::int32_t>::min());
        },
        std::less<>(), day);
    constexpr std::uint32_t anyDay = std::numeric_limits<std::uint32_t>::max();

    // A pass walks from the first message not yet listed to the next one, in file order, that
    // is within both minima, and so on; the last one reached is listed. The next pass walks
    // the same way up to the one before it, so the walk is kept from pass to pass: a stack of
    // the messages reached, each with the minima after it. A message reached leaves the
    // index; none left before the top of the stack is within its minima (it would have been
    // reached), so the next step is the first message in the index within them.
    ReachIndex index(rank, day, ranks);
    struct Step {
        std::uint32_t position;
        std::uint32_t maxRank;
        std::uint32_t maxDay;
    };
    std::vector<Step> walk;
    std::vector<bool> reached(n, false);
    std::vector<std::uint32_t> order;
    order.reserve(n);
    std::size_t first = 0;
    auto reach = [&](std::uint32_t p, std::uint32_t maxDay) {
        reached[p] = true;
        index.remove(p);
        walk.push_back({p, rank[p], entries[p].dateValue ? day[p] : maxDay});
    };
    while (order.size() < n) {
        if (walk.empty()) {
            while (reached[first])
                ++first;
            reach(std::uint32_t(first), anyDay);
        }
        const Step top = walk.back();
        const std::uint32_t next = index.first(top.maxRank, top.maxDay);
        if (next == ReachIndex::kNone) {
            order.push_back(top.position);
            walk.pop_back();
        } else {
            reach(next, top.maxDay);
        }
    }
    return order;
}

// The passes list the messages as a binary tree reads from left to right. The first message
// is its root; each next one, in file order, goes down from the root: to the left of a
// message whose bounds hold it (its number, and its day unless it has none, within that
// message's bounds), to the right otherwise. A message's bounds are its number and its day,
// or without a day, the day bound of the last message it went to the left of (none before
// that). A pass walks down the left edge of what is not yet listed: a message's left child
// is the first message after it within its bounds; once its left side is listed, the walk
// stops at it, and its right child is the next message within the bounds the walk had
// before reaching it.
//
// The tree is built a straight path at a time, as a sort partitions: a run of messages, in
// file order, is laid along the path its first message starts, and those that leave the path
// are passed on in file order as the runs hanging from it. Along a left path the bounds only
// fall, so a message goes left along a prefix of it: a binary search. Along a right path the
// first message whose bounds hold a newcomer lies at or past the first where the running
// maxima do, and a scan finds it: a scan a hostile packet could make long, so `budget` steps
// bound the whole, and the walk takes over past it. The chains boards send (numbers rising or
// falling with the dates, newest first) cost a binary search per message and level; on one
// day, the numbers alone decide, and a sort does. O(n log n) per level of turns, with the
// walk's O(n log² n) past the budget.
class NumberTree {
public:
    explicit NumberTree(const std::vector<ListedMessage>& entries)
        : number_(entries.size()), day_(entries.size()), dated_(entries.size()) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const ListedMessage& m = entries[i];
            // The seven bytes, zero-padded, then the length: compares as the text does.
            std::uint64_t key = 0;
            for (std::size_t k = 0; k < m.numberBytes.size(); ++k)
                key = (key << 8) | (k < m.numberLength ? std::uint8_t(m.numberBytes[k]) : 0u);
            number_[i] = (key << 8) | m.numberLength;
            // Days in their order; 0, below every bound, for a date that is no day.
            dated_[i] = m.dateValue.has_value();
            day_[i] = m.dateValue ? std::uint32_t(*m.dateValue) ^ 0x80000000u : 0;
            if (!dated_[firstDated_])
                firstDated_ = i;
            if (dated_[i] && day_[i] != day_[firstDated_])
                oneDay_ = false;
        }
    }

    const std::vector<std::uint64_t>& numbers() const { return number_; }

    // The order, or nothing once more than `budget` steps were spent.
    bool order(std::size_t budget, std::vector<std::uint32_t>& order) {
        const std::size_t n = number_.size();
        order.clear();
        order.reserve(n);
        if (oneDay_) {
            // Every day test holds: a pass lists the last of the least numbers.
            std::vector<std::pair<std::uint64_t, std::uint32_t>> keys(n);
            for (std::size_t i = 0; i < n; ++i)
                keys[i] = {number_[i], std::uint32_t(n - 1 - i)};
            std::sort(keys.begin(), keys.end());
            for (const auto& key : keys)
                order.push_back(std::uint32_t(n - 1 - key.second));
            return true;
        }
        runs_.resize(n);
        std::iota(runs_.begin(), runs_.end(), std::uint32_t(0));
        scratch_.resize(n);
        branch_.resize(n);
        std::vector<Task> tasks{{Task::RightPath, 0, std::uint32_t(n), kNoBound}};
        std::size_t spent = 0;
        while (!tasks.empty()) {
            const Task task = tasks.back();
            tasks.pop_back();
            if (task.kind == Task::List || task.end - task.begin == 1) {
                order.push_back(task.kind == Task::List ? task.begin : runs_[task.begin]);
                continue;
            }
            spent += task.end - task.begin;
            if (!layPath(task, budget, spent))
                return false;
            hangRuns(task, tasks);
        }
        return true;
    }

private:
    static constexpr std::uint32_t kNoBound = std::numeric_limits<std::uint32_t>::max();
    static constexpr std::uint32_t kOnPath = std::numeric_limits<std::uint32_t>::max();

    // A run to lay, `bound` the day bound of the message it hangs from; or a message to list.
    struct Task {
        enum Kind : std::uint8_t { List, LeftPath, RightPath } kind;
        std::uint32_t begin; // into runs_; the message itself for List
        std::uint32_t end;
        std::uint32_t bound;
    };
    // A message of the path being laid; the maxima run along a right path.
    struct OnPath {
        std::uint64_t number;
        std::uint64_t maxNumber;
        std::uint32_t message;
        std::uint32_t day;
        std::uint32_t maxDay;
    };

    bool within(std::uint32_t m, const OnPath& p) const {
        return number_[m] <= p.number && day_[m] <= p.day;
    }
    std::uint32_t boundOf(std::uint32_t m, std::uint32_t inherited) const {
        return dated_[m] ? day_[m] : inherited;
    }

    // Lays the path the run's first message starts; branch_ tells, for each other message,
    // kOnPath or the position on the path of the message it leaves the path at.
    bool layPath(const Task& task, std::size_t budget, std::size_t& spent) {
        path_.clear();
        const std::uint32_t first = runs_[task.begin];
        const std::uint32_t day = boundOf(first, task.bound);
        path_.push_back({number_[first], number_[first], first, day, day});
        for (std::uint32_t i = task.begin + 1; i < task.end; ++i) {
            const std::uint32_t m = runs_[i];
            const OnPath& last = path_.back();
            std::size_t at = path_.size();
            if (task.kind == Task::LeftPath) {
                if (!within(m, last)) {
                    // The messages it goes left of: a prefix. It leaves the path at the next.
                    std::size_t lo = 0;
                    for (std::size_t hi = path_.size() - 1; lo < hi; ++spent) {
                        const std::size_t mid = (lo + hi) / 2;
                        if (within(m, path_[mid]))
                            lo = mid + 1;
                        else
                            hi = mid;
                    }
                    at = lo;
                }
            } else if (number_[m] <= last.maxNumber && day_[m] <= last.maxDay) {
                std::size_t lo = 0;
                for (std::size_t hi = path_.size() - 1; lo < hi; ++spent) {
                    const std::size_t mid = (lo + hi) / 2;
                    const OnPath& p = path_[mid];
                    if (number_[m] <= p.maxNumber && day_[m] <= p.maxDay)
                        hi = mid;
                    else
                        lo = mid + 1;
                }
                for (at = lo; at < path_.size() && !within(m, path_[at]); ++at)
                    ++spent;
                if (spent > budget)
                    return false;
            }
            if (at < path_.size()) {
                branch_[i] = std::uint32_t(at);
                continue;
            }
            branch_[i] = kOnPath;
            const std::uint32_t bound =
                boundOf(m, task.kind == Task::LeftPath ? last.day : task.bound);
            path_.push_back({number_[m], std::max(last.maxNumber, number_[m]), m, bound,
                             std::max(last.maxDay, bound)});
        }
        return spent <= budget;
    }

    // Gathers the runs hanging from the path, each in file order, and queues them with the
    // path's messages so that they list in the tree's order.
    void hangRuns(const Task& task, std::vector<Task>& tasks) {
        const std::size_t m = path_.size();
        start_.assign(m + 1, 0);
        for (std::uint32_t i = task.begin + 1; i < task.end; ++i)
            if (branch_[i] != kOnPath)
                ++start_[branch_[i] + 1];
        std::partial_sum(start_.begin(), start_.end(), start_.begin());
        if (start_[m] > 0) {
            std::copy(runs_.begin() + task.begin + 1, runs_.begin() + task.end,
                      scratch_.begin() + task.begin + 1);
            fill_.assign(start_.begin(), start_.end() - 1);
            for (std::uint32_t i = task.begin + 1; i < task.end; ++i)
                if (branch_[i] != kOnPath)
                    runs_[task.begin + fill_[branch_[i]]++] = scratch_[i];
        }
        auto hang = [&](std::size_t k, Task::Kind kind, std::uint32_t bound) {
            if (start_[k] < start_[k + 1])
                tasks.push_back({kind, task.begin + start_[k], task.begin + start_[k + 1], bound});
        };
        // Queued backwards. A left path lists from its end up, each message before the run
        // to its right; a right path lists from its start, each message after the run to
        // its left.
        for (std::size_t k = 0; k < m; ++k) {
            if (task.kind == Task::LeftPath) {
                hang(k, Task::RightPath, k > 0 ? path_[k - 1].day : task.bound);
                tasks.push_back({Task::List, path_[k].message, 0, 0});
            } else {
                const std::size_t j = m - 1 - k;
                tasks.push_back({Task::List, path_[j].message, 0, 0});
                hang(j, Task::LeftPath, path_[j].day);
            }
        }
    }

    std::vector<std::uint64_t> number_;
    std::vector<std::uint32_t> day_;
    std::vector<bool> dated_;
    std::size_t firstDated_ = 0;
    bool oneDay_ = true;                 // every message with a day on the same day
    std::vector<std::uint32_t> runs_;    // the runs to lay, each a range in file order
    std::vector<std::uint32_t> scratch_; // a run's messages while its runs are gathered
    std::vector<std::uint32_t> branch_;  // per message of the run being laid
    std::vector<OnPath> path_;
    std::vector<std::uint32_t> start_; // where each hanging run starts in the laid run
    std::vector<std::uint32_t> fill_;
};

} // namespace

std::vector<std::uint32_t> numberOrder(const std::vector<ListedMessage>& entries) {
    // Ordinary conferences take a few dozen steps per message; the budget leaves room for
    // their growth with the size and stops a hostile packet at a few times that.
    // Worst case O(n log² n): O(n log n) steps of the tree at most, then the walk.
    const std::size_t n = entries.size();
    const std::size_t budget = n * (4 * std::size_t(std::bit_width(n)) + 24);
    std::vector<std::uint32_t> order;
    NumberTree tree(entries);
    if (tree.order(budget, order))
        return order;
    return walkOrder(entries, tree.numbers());
}

} // namespace velk
