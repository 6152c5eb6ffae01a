// SPDX-License-Identifier: GPL-2.0-or-later
#include "board/SubscriptionQueue.h"
#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "packet/ControlFile.h"
#include "tests/support/PacketFixture.h"

#include <QFile>

#include <gtest/gtest.h>

namespace velk {

TEST(SubscriptionQueueTest, TheFileIsAVersionLineThenARequestALineAndAnythingElseIsRefused) {
    const std::vector<SubscriptionRequest> queue = {{12, SubscriptionAction::Add},
                                                    {7, SubscriptionAction::Drop}};
    EXPECT_EQ(subscriptionQueueBytes(queue), "VELK DEMANDES 1\r\nAJOUTER 12\r\nRETIRER 7\r\n");
    EXPECT_EQ(parseSubscriptionQueue("VELK DEMANDES 1\nAJOUTER 12\n\nRETIRER   7"), queue);
    for (const char* damaged :
         {"", "VELK DEMANDES 2\r\n", "AJOUTER 12\r\n", "VELK DEMANDES 1\r\nAJOUTER 65536\r\n",
          "VELK DEMANDES 1\r\nAJOUTER\r\n", "VELK DEMANDES 1\r\nAJOUTER 1 2\r\n",
          "VELK DEMANDES 1\r\najouter 1\r\n", "VELK DEMANDES 1\r\nAJOUTER -1\r\n"})
        EXPECT_FALSE(parseSubscriptionQueue(damaged)) << damaged;
}

TEST(SubscriptionQueueTest, HowTheBoardTakesRequestsFromDoorIdAndToreader) {
    struct Case {
        std::vector<std::string> doorId;
        bool qwke;
        std::optional<RequestRoute> add, drop;
    };
    const auto message = RequestRoute::ControlMessage;
    const Case cases[] = {
        {{"CONTROLNAME = QMAIL", "CONTROLTYPE = ADD", "CONTROLTYPE = DROP"},
         false,
         message,
         message},
        {{"controlname=QMAIL", "controltype = add"}, false, message, std::nullopt},
        {{"CONTROLTYPE = ADD", "CONTROLTYPE = DROP"}, false, std::nullopt, std::nullopt},
        {{"CONTROLNAME = QMAIL", "CONTROLTYPE = REQUEST"}, false, std::nullopt, std::nullopt},
        {{"CONTROLNAME = QMAIL", "CONTROLTYPE = ADD"},
         true,
         RequestRoute::ToDoorLine,
         RequestRoute::ToDoorLine},
        {{}, false, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        PacketControl control;
        readDoorControl(c.doorId, control);
        control.readsQwke = c.qwke;
        EXPECT_EQ(requestRoute(control, SubscriptionAction::Add), c.add);
        EXPECT_EQ(requestRoute(control, SubscriptionAction::Drop), c.drop);
    }
    EXPECT_EQ(toDoorLines({{23, SubscriptionAction::Drop}, {44, SubscriptionAction::Add}}),
              "AREA 23 D\r\nAREA 44 a\r\n");
    const std::map<std::uint16_t, bool> areas = {{23, true}, {31, false}, {44, true}, {172, true}};
    EXPECT_EQ(parseToReaderAreas("ALIAS Bob\r\nAREA 23 awOU\r\nAREA 31 FPLA\r\nAREA 44 pkPN&\n"
                                 "AREA 172 gwkfPI\r\nAREA 70000 a\r\nAREA x a"),
              areas);
}

class SubscriptionWindowLogicTest : public PacketFixture {};

TEST_F(SubscriptionWindowLogicTest, QueuingFollowsTheBoardAndADamagedQueueIsNeverTouched) {
    b.conference(1, "Un").conference(2, "Deux").conference(3, "Trois");
    b.file("TOREADER.EXT", "AREA 1 a\r\nAREA 2 X\r\n");
    unpack();
    EXPECT_EQ(queueSubscription(s, 3, SubscriptionAction::Add), "");
    EXPECT_EQ(queueSubscription(s, 1, SubscriptionAction::Drop), "");
    EXPECT_EQ(readWholeFile(joinPath(dirs.dir("VELK"), "VELKTEST.DEM")),
              "VELK DEMANDES 1\r\nAJOUTER 3\r\nRETIRER 1\r\n");
    std::vector<std::string> lines;
    for (const BoardConference& c : boardConferences(s, readSubscriptionQueue(s)))
        lines.push_back(boardConferenceLine(c));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"1     Oui   Retrait   Un", "2     Non             Deux",
                                        "3     Non   Ajout     Trois"}));
    removeQueuedRequest(s, 0);
    EXPECT_EQ(readSubscriptionQueue(s),
              (std::vector<SubscriptionRequest>{{1, SubscriptionAction::Drop}}));

    const QString path = subscriptionQueuePath(s);
    writeFileAtomically(path, "AUTRE CHOSE\r\n");
    EXPECT_THROW(queueSubscription(s, 2, SubscriptionAction::Add), VelkError);
    EXPECT_EQ(readWholeFile(path), "AUTRE CHOSE\r\n");
}

} // namespace velk
