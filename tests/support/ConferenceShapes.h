// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// Conferences of the shapes boards send, for the tests and the benchmarks of the browser's
// orders: the order the messages come in, and their numbers, dates and names.

#include "packet/PacketBuilder.h"

#include <QDate>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace velk {

enum class ConferenceShape {
    Ascending,         // numbers and dates rising in file order
    NewestFirst,       // numbers and dates falling
    OneAuthor,         // every message from the same author, to the same recipient
    OneDate,           // every message of the same day, numbers shuffled
    Random,            // numbers, dates and names at random, ties and dates that are no day
    NumbersPast999999, // seven-digit numbers among shorter ones, falling
    Dates1980To2099,   // two-digit years over both centuries
    AccentedNames,     // names and subjects starting with accented DOS letters
};

inline constexpr ConferenceShape kConferenceShapes[] = {
    ConferenceShape::Ascending,       ConferenceShape::NewestFirst,
    ConferenceShape::OneAuthor,       ConferenceShape::OneDate,
    ConferenceShape::Random,          ConferenceShape::NumbersPast999999,
    ConferenceShape::Dates1980To2099, ConferenceShape::AccentedNames,
};

inline const char* shapeName(ConferenceShape shape) {
    switch (shape) {
    case ConferenceShape::Ascending:
        return "ascending";
    case ConferenceShape::NewestFirst:
        return "newest-first";
    case ConferenceShape::OneAuthor:
        return "one-author";
    case ConferenceShape::OneDate:
        return "one-date";
    case ConferenceShape::Random:
        return "random";
    case ConferenceShape::NumbersPast999999:
        return "numbers-past-999999";
    case ConferenceShape::Dates1980To2099:
        return "dates-1980-2099";
    case ConferenceShape::AccentedNames:
        return "accented-names";
    }
    return "?";
}

// Adds `count` messages of the shape to the conference. `textLines` lines of about 64
// characters make the text: 6 lines give the 4 to 5 blocks of an ordinary message.
inline void addShapedMessages(PacketBuilder& b, std::uint16_t conference, ConferenceShape shape,
                              int count, unsigned seed, int textLines = 1) {
    std::mt19937 random(seed);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const QDate start(1996, 1, 1);
    auto dateText = [](const QDate& d) {
        return d.toString(QStringLiteral("MM-dd-yy")).toStdString();
    };
    static const char* const firstNames[] = {"JEAN",   "MARIE", "PAUL",   "ANNE", "LUC",
                                             "SOPHIE", "ALAIN", "CLAIRE", "ERIC", "ZOE"};
    static const char* const accented[] = {"\x90LODIE",
                                           "\x80\x82LINE",
                                           "\x8E"
                                           "DOUARD",
                                           "\x85NGELE",
                                           "\x99RJAN",
                                           "\xA5OEL",
                                           "\x9A"
                                           "BER"};
    auto name = [&](int i) {
        return std::string(firstNames[i % 10]) + " " + std::to_string(i % 97);
    };
    std::vector<int> shuffled(std::size_t(std::max(count, 0)));
    std::iota(shuffled.begin(), shuffled.end(), 1);
    std::shuffle(shuffled.begin(), shuffled.end(), random);

    std::string text;
    for (int l = 0; l < textLines; ++l)
        text += "JD> Ligne " + std::to_string(l) +
                " d'un message ordinaire, assez longue pour remplir un bloc.\n";

    for (int i = 0; i < count; ++i) {
        PacketMessage& m = b.add(conference, "Sujet " + std::to_string((i * 7) % 300), text);
        m.from = name(i * 13);
        m.to = name(i * 17 + 3);
        m.number = std::to_string(i + 1);
        m.date = dateText(start.addDays(i / 30));
        m.time = "12:00";
        switch (shape) {
        case ConferenceShape::Ascending:
            break;
        case ConferenceShape::NewestFirst:
            m.number = std::to_string(count - i);
            m.date = dateText(start.addDays((count - 1 - i) / 30));
            break;
        case ConferenceShape::OneAuthor:
            m.from = "JEAN DUPONT";
            m.to = "TOUS";
            break;
        case ConferenceShape::OneDate:
            m.number = std::to_string(shuffled[std::size_t(i)]);
            m.date = "03-14-97";
            break;
        case ConferenceShape::Random:
            m.number = std::to_string(1 + pick(3 * count + 1));
            m.date = dateText(start.addDays(pick(3650)));
            if (pick(40) == 0)
                m.date = "02-30-96"; // no day of the calendar
            else if (pick(10) == 0)
                m.date =
                    start.addDays(pick(3650)).toString(QStringLiteral("dd-MM-yy")).toStdString();
            m.from = name(pick(60));
            m.to = name(pick(40));
            m.subject = "Sujet " + std::to_string(pick(300));
            break;
        case ConferenceShape::NumbersPast999999:
            m.number = std::to_string(i % 3 == 0 ? 1000000 + (count - i) : 999999 - i);
            m.date = dateText(start.addDays((count - 1 - i) / 30));
            break;
        case ConferenceShape::Dates1980To2099:
            m.date = dateText(QDate(1980, 1, 1).addDays(pick(43829)));
            break;
        case ConferenceShape::AccentedNames:
            m.number = std::to_string(shuffled[std::size_t(i)]);
            if (pick(2) == 0)
                m.from = accented[pick(7)];
            if (pick(2) == 0)
                m.to = accented[pick(7)];
            if (pick(3) == 0)
                m.subject = std::string(accented[pick(7)]) + " " + std::to_string(pick(50));
            break;
        }
    }
}

} // namespace velk
