#include <gtest/gtest.h>

#include <vector>

#include "Dataextractor.h"
#include "DeviceSession.h"
#include "MockPort.h"
#include "RecordingScreen.h"

namespace tovrel::test {
namespace {

class DeviceSessionTest : public ::testing::Test {
protected:
    DeviceSessionTest() {
        auto p = std::make_unique<MockPort>();
        port = p.get();
        link = std::make_unique<DeviceLink>(screen, std::move(p));
        link->session().on_change = [this](const DeviceSession::State& s) { changes.push_back(s); };
    }
    DeviceSession& session() { return link->session(); }

    RecordingScreen screen;
    MockPort* port;
    std::unique_ptr<DeviceLink> link;
    std::vector<DeviceSession::State> changes;
};

// Nested holds belong to the outermost procedure: busy and idle are told
// once, the name is the outer one's, and the kind is the strongest in force.
TEST_F(DeviceSessionTest, NestedHoldsAreOneProcedureOfTheStrongestKind) {
    {
        DeviceLink::LineHold outer(*link, {ProcedureKind::Ordinary, "read all"});
        EXPECT_EQ(session().Current().kind, ProcedureKind::Ordinary);
        {
            DeviceLink::LineHold inner(*link, {ProcedureKind::Write, "commit"});
            EXPECT_EQ(session().Current().kind, ProcedureKind::Write);
            EXPECT_EQ(session().Current().name, "read all");
        }
        EXPECT_EQ(session().Current().kind, ProcedureKind::Ordinary);
        EXPECT_TRUE(link->LineBusy());
    }
    EXPECT_FALSE(session().Busy());
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_TRUE(changes[0].busy);
    EXPECT_EQ(changes[0].name, "read all");
    EXPECT_FALSE(changes[1].busy);
}

// A stop asked from outside ends the running procedure at its next
// exchange without putting a frame on the line and without a box about the
// line; it does not reach the procedure after it, nor one asked while idle.
TEST_F(DeviceSessionTest, AStopReachesOnlyTheRunningProcedure) {
    session().RequestStop();  // idle: nothing to stop
    {
        DeviceLink::LineHold hold(*link, {ProcedureKind::Ordinary, "monitor"});
        EXPECT_FALSE(link->StopRequested());
        session().RequestStop();
        EXPECT_TRUE(link->StopRequested());
        EXPECT_TRUE(session().Token().stop_requested());
        link->UARTdataExchangeForTovrel(ExchangeOp::Read, 1, 0, 100, true, 2);
        EXPECT_FALSE(link->LastExchangeOk());
        EXPECT_TRUE(link->LineSilent());
        link->ReportLineSilent();
    }
    EXPECT_TRUE(port->written.empty());
    EXPECT_TRUE(screen.messages.empty());

    DeviceLink::LineHold next(*link, {ProcedureKind::Ordinary, "read all"});
    EXPECT_FALSE(link->StopRequested());
    EXPECT_FALSE(link->LineSilent());
}

// Closing lets a running write finish, but stops a running read at once and
// every procedure begun afterwards before it sends anything.
TEST_F(DeviceSessionTest, CloseLetsAWriteFinishAndStopsEverythingElse) {
    {
        DeviceLink::LineHold write(*link, {ProcedureKind::Write, "write all"});
        session().Close();
        EXPECT_FALSE(link->StopRequested());
        {
            DeviceLink::LineHold commit(*link, {ProcedureKind::Write, "commit"});
            EXPECT_FALSE(link->StopRequested());
        }
    }
    {
        DeviceLink::LineHold read(*link, {ProcedureKind::Ordinary, "read all"});
        EXPECT_TRUE(link->StopRequested());
        link->UARTdataExchangeForTovrel(ExchangeOp::Read, 1, 0, 100, true, 2);
    }
    {
        DeviceLink::LineHold later_write(*link, {ProcedureKind::Write, "map write"});
        EXPECT_TRUE(link->StopRequested());
        link->UARTdataExchangeForTovrel(ExchangeOp::Write, 1, 0, 900, true, 2);
    }
    EXPECT_TRUE(port->written.empty());

    DeviceSession running_read;
    running_read.Begin({ProcedureKind::Ordinary, "read all"});
    running_read.Close();
    EXPECT_TRUE(running_read.StopRequested());
    running_read.End();
}

}  // namespace
}  // namespace tovrel::test
