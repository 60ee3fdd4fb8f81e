// Map reads and writes on the line, and the single-map write buttons.
#include <gtest/gtest.h>

#include <cmath>

#include "MapTransfer.h"
#include "MockPort.h"
#include "SimFixture.h"

namespace tovrel::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Frame(std::uint8_t head, std::uint8_t address, std::uint8_t index, std::uint16_t value) {
    const auto hi = static_cast<std::uint8_t>(value >> 8), lo = static_cast<std::uint8_t>(value & 0xFF);
    return {head, address, index, hi, lo, static_cast<std::uint8_t>(~hi), static_cast<std::uint8_t>(~lo)};
}
Bytes Complement(Bytes b) {
    for (auto& x : b) x = static_cast<std::uint8_t>(~x);
    return b;
}

class MockTransferTest : public ::testing::Test {
protected:
    MockTransferTest() {
        auto p = std::make_unique<MockPort>();
        port = p.get();
        link = std::make_unique<DeviceLink>(screen, std::move(p));
        link->ShowConnectionState(state::Connected);
        screen.Clear();
    }
    RecordingScreen screen;
    MockPort* port;
    std::unique_ptr<DeviceLink> link;
};

struct KindCase {
    MapKind kind;
    std::uint8_t address;
    const char* read_text;
    const char* write_text;
    const char* wrong_value;
    TransferTally (*read)(DeviceLink&, MapDocument&);
    TransferTally (*write)(DeviceLink&, const TimingMap&);
};
const KindCase kKinds[] = {
    {MapKind::LPG, 1, "Чтение газовой карты из вариатора", "Запись газовой карты в вариатор",
     "WritePLGMap: функция UARTdataExchangeForTovrel возвращает неверное значение", ReadLPGMap, WritePLGMap},
    {MapKind::Petrol, 2, "Чтение бензиновой карты из вариатора", "Запись бензиновой карты в вариатор",
     "WritePetrolMap: функция UARTdataExchangeForTovrel возвращает неверное значение", ReadPetrolMap,
     WritePetrolMap},
    {MapKind::LPGLoadDependence, 3, "Чтение газовой карты TPS", "Запись газовой карты TPS в вариатор",
     "WritePLGLoadDependenceMap: функция UARTdataExchangeForTovrel возвращает неверное значение",
     ReadLPGLoadDependenceMap, WritePLGLoadDependenceMap},
    {MapKind::PetrolLoadDependence, 4, "Чтение бензиновой карты TPS", "Запись бензиновой карты TPS в вариатор",
     "WritePetrolLoadDependenceMap: функция UARTdataExchangeForTovrel возвращает неверное значение",
     ReadPetrolLoadDependenceMap, WritePetrolLoadDependenceMap},
};

TEST_F(MockTransferTest, ReadAsksEveryPointDecodesItAndGrowsTheCurve) {
    for (const auto& k : kKinds) {
        SCOPED_TRACE(std::string(MapKindName(k.kind)));
        port->written.clear();
        screen.Clear();
        const auto* controls = FindMapControls(k.kind);
        const bool advance = IsAdvanceMap(k.kind);
        for (int i = 0; i < 80; ++i) {
            // Advance maps: -7.90 .. 7.90 in hundredths; throttle maps: a high
            // byte that must be ignored.
            const std::uint16_t v = advance ? static_cast<std::uint16_t>((i - 40) * 20) : static_cast<std::uint16_t>(0x0100 + i);
            port->replies.push_back(Frame(0x55, k.address, static_cast<std::uint8_t>(i), v));
        }
        MapDocument document;
        MapViews views(screen, document);
        document.FillMap(k.kind, 1000, MapEditCause::Replace);
        const TimingMap& map = document.Map(k.kind);
        // Every point goes into the document as a change of its own.
        std::vector<MapChange> changes;
        document.AddListener([&](const MapChange& c) { changes.push_back(c); });
        // After each point the chart shows the points read so far.
        int pumps_with_point = 0;
        screen.on_pump = [&] {
            const auto shown = screen.Series(controls->series);
            if (shown.size() == 80 && pumps_with_point < 80 && shown[static_cast<std::size_t>(pumps_with_point)].y ==
                                                                   map.y[static_cast<std::size_t>(pumps_with_point)] &&
                map.y[static_cast<std::size_t>(pumps_with_point)] != 1000)
                ++pumps_with_point;
        };
        const auto tally = k.read(*link, document);
        screen.on_pump = nullptr;
        ASSERT_EQ(changes.size(), 80u);
        for (int i = 0; i < 80; ++i)
            EXPECT_EQ(changes[static_cast<std::size_t>(i)], (MapChange{k.kind, PointRange::One(i), MapEditCause::DeviceRead}));

        ASSERT_EQ(port->written.size(), 80u);
        for (int i = 0; i < 80; ++i) {
            EXPECT_EQ(port->written[static_cast<std::size_t>(i)], Frame(0x55, k.address, static_cast<std::uint8_t>(i), 100));
            const double want = advance ? (i - 40) * 0.2 : i;
            EXPECT_DOUBLE_EQ(map.y[static_cast<std::size_t>(i)], want);
            EXPECT_EQ(map.x[static_cast<std::size_t>(i)], advance ? 100.0 * i : i);
        }
        EXPECT_EQ(pumps_with_point, 80);
        EXPECT_EQ(tally.exchanges, 80);
        EXPECT_EQ(tally.failed, 0);
        EXPECT_TRUE(screen.Showed("LabelProgress", k.read_text));
        EXPECT_FALSE(screen.IsVisible("LabelProgress"));
        EXPECT_FALSE(screen.IsVisible("ProgressBar1"));
        EXPECT_EQ(screen.Number("ProgressBar1", Property::Position), 79);
        EXPECT_TRUE(screen.messages.empty());
    }
}

TEST_F(MockTransferTest, WriteSendsEncodedPointsAndChecksTheConfirmedValue) {
    for (const auto& k : kKinds) {
        SCOPED_TRACE(std::string(MapKindName(k.kind)));
        port->written.clear();
        screen.Clear();
        TimingMaps maps;
        FillMapTemplate(maps);
        TimingMap& map = maps[k.kind];
        map.y[0] = 9.999;
        map.y[1] = -0.5;
        map.y[2] = -32.0;  // the editors' bound for advance maps
        for (int i = 0; i < 80; ++i) {
            const auto v = static_cast<std::uint16_t>(EncodeMapValue(k.kind, map.y[static_cast<std::size_t>(i)]));
            const auto request = Frame(0xAA, k.address, static_cast<std::uint8_t>(i), v);
            if (i == 5) {
                // Passes the check bytes but carries another value, twice.
                port->replies.push_back(Frame(0x00, 0, 0, 0x1234));
                port->replies.push_back(Frame(0x00, 0, 0, 0x1234));
            } else {
                port->replies.push_back(Complement(request));
            }
        }
        const auto tally = k.write(*link, map);

        ASSERT_EQ(port->written.size(), 81u);  // point 5 was tried twice
        const bool advance = IsAdvanceMap(k.kind);
        EXPECT_EQ(port->written[0], Frame(0xAA, k.address, 0, advance ? 999 : 9));
        EXPECT_EQ(port->written[1], Frame(0xAA, k.address, 1, advance ? 0xFFCE : 0));
        EXPECT_EQ(port->written[2], Frame(0xAA, k.address, 2, advance ? 0xF380 : 0xFFE0));
        EXPECT_EQ(screen.messages, std::vector<std::string>{k.wrong_value});
        EXPECT_EQ(tally.exchanges, 80);
        EXPECT_EQ(tally.failed, 1);
        EXPECT_TRUE(screen.Showed("LabelProgress", k.write_text));
        EXPECT_FALSE(screen.IsVisible("LabelProgress"));
        EXPECT_FALSE(screen.IsVisible("ProgressBar1"));
        // The write loop redraws no chart.
        EXPECT_TRUE(screen.Series(FindMapControls(k.kind)->series).empty());
    }
}

// A device that stops answering ends a map transfer after three silent
// exchanges with one diagnosis, instead of 80 points of timeouts and of
// wrong-value messages.
TEST_F(MockTransferTest, SilentLineEndsTheTransferAfterThreeExchanges) {
    MapDocument document;
    document.FillMap(MapKind::Petrol, 7.0, MapEditCause::Replace);
    const auto read = ReadPetrolMap(*link, document);
    TimingMap map = document.Map(MapKind::Petrol);
    EXPECT_FALSE(read.completed);
    EXPECT_EQ(read.failed, 3);
    // Two attempts for each of two points; after them the line stays silent
    // through the wait for a late answer, which counts as the third.
    EXPECT_EQ(port->written.size(), 4u);
    // The points that got no answer are marked unread, not taken as 0
    // degrees; the points after them are not touched.
    for (int i = 0; i < 80; ++i) {
        const double y = map.y[static_cast<std::size_t>(i)];
        if (i < 3) {
            EXPECT_TRUE(IsUnreadMarker(MapKind::Petrol, y)) << i;
        } else {
            EXPECT_EQ(y, 7.0) << i;
        }
    }
    // One box: the line's message names the cause.
    EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kLineSilentMessage))});
    EXPECT_FALSE(screen.IsVisible("LabelProgress"));

    // The next transfer finds the line still silent and ends at its first point.
    screen.Clear();
    port->written.clear();
    map.y.fill(2.0);
    const auto written = WritePetrolMap(*link, map);
    EXPECT_FALSE(written.completed);
    EXPECT_EQ(written.failed, 1);
    EXPECT_EQ(written.unconfirmed, std::vector<int>{0});
    EXPECT_EQ(port->written.size(), 2u);
    EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kLineSilentMessage))});

    // One answered exchange ends the silent stretch.
    port->replies.push_back(Frame(0x55, 2, 0, 250));
    link->UARTdataExchangeForTovrel(ExchangeOp::Read, 2, 0, 100, true, 2);
    EXPECT_FALSE(link->LineSilent());
}

// Points that bring the value memory already holds (a dead line over the
// markers a full read puts in first) change nothing in the document, yet the
// chart must not go on showing the values from before the read.
TEST_F(MockTransferTest, AReadThatChangesNoPointStillShowsTheMapOnTheChart) {
    MapDocument document;
    MapViews views(screen, document);
    FillMapTemplate(document);
    ShowMapInChart(screen, document.Maps(), MapKind::Petrol);
    ResetMapsToUnread(document);
    ASSERT_EQ(screen.Series("Series1")[0].y, 2.0);  // the markers are not drawn yet
    EXPECT_FALSE(ReadPetrolMap(*link, document).completed);
    const auto shown = screen.Series("Series1");
    ASSERT_EQ(shown.size(), 80u);
    for (const auto& p : shown) EXPECT_EQ(p.y, 1000.0);
}

// The window releasing the port under a running read (its close): the read
// ends at its next point, without a box, and the points it never read keep
// the not-yet-read marker instead of decoded zeros.
TEST_F(MockTransferTest, PortReleasedUnderARunningReadEndsItWithoutInventedPoints) {
    for (std::uint8_t i = 0; i < 80; ++i) port->replies.push_back(Frame(0x55, 2, i, 250));
    screen.on_pump = [&] {
        // The port (and the mock with it) is gone once released.
        if (link->port() && port->written.size() == 5) link->ReleasePort();
    };
    MapDocument document;
    document.FillMap(MapKind::Petrol, 7.0, MapEditCause::Replace);
    const auto read = ReadPetrolMap(*link, document);
    const TimingMap& map = document.Map(MapKind::Petrol);
    EXPECT_FALSE(read.completed);
    EXPECT_TRUE(screen.messages.empty());
    for (int i = 0; i < 80; ++i) {
        const double y = map.y[static_cast<std::size_t>(i)];
        if (i < 4) {
            EXPECT_EQ(y, 2.5) << i;
        } else {
            EXPECT_TRUE(y == 7.0 || IsUnreadMarker(MapKind::Petrol, y)) << i << ": " << y;
        }
    }
    EXPECT_LE(read.exchanges, 6);
}

// A line that garbles every answer, or answers each request only after the
// retry, ends a map write after three exchanges: one box for the run of bad
// answers, the line's closing message, and no further point sent.
TEST_F(MockTransferTest, GarbledOrLateLineEndsTheWriteAfterThreeExchanges) {
    TimingMap map;
    map.y.fill(2.0);
    const std::int16_t v = EncodeMapValue(MapKind::Petrol, 2.0);
    const Bytes garbled{0x13, 0x77, 0x02, 0x41, 0x99, 0x41, 0x99};
    struct Case {
        const char* name;
        bool late;
        std::vector<std::string> boxes;
        int failed;
    };
    const Case cases[] = {
        // The checksum box of the run is left to the line's own message.
        {"garbled", false,
         {"WritePetrolMap: функция UARTdataExchangeForTovrel возвращает неверное значение",
          std::string(Tr(kLineGarbledMessage))},
         3},
        // The first two late answers confirm their own requests; the third
        // completes the run and is not taken.
        {"late", true, {std::string(Tr(kLineLateMessage))}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = std::make_unique<MockPort>();
        port = p.get();
        link = std::make_unique<DeviceLink>(screen, std::move(p));
        link->ShowConnectionState(state::Connected);
        screen.Clear();
        for (std::uint8_t i = 0; i < 80; ++i) {
            if (c.late) {
                port->replies.push_back({});
                port->replies.push_back(Complement(Frame(0xAA, 2, i, static_cast<std::uint16_t>(v))));
            } else {
                port->replies.push_back(garbled);
                port->replies.push_back(garbled);
            }
        }
        const auto tally = WritePetrolMap(*link, map);
        EXPECT_FALSE(tally.completed);
        EXPECT_EQ(tally.failed, c.failed);
        EXPECT_EQ(port->written.size(), 6u);  // two attempts for each of three points
        EXPECT_EQ(screen.messages, c.boxes);
    }
}

// Values no editor can produce never reach the line: the write is refused
// whole, naming the map and the point.
TEST_F(MockTransferTest, ValuesNoEditorCanMakeAreRefusedBeforeAnythingIsSent) {
    struct Case {
        std::size_t kind;
        int point;
        double y;
        const char* says;
    } cases[] = {
        {0, 7, 70000.0, "газовая карта (LPG), точка 8 из 80 (x = 700): значение 70000 вне допустимых пределов от -32 до 32"},
        {1, 0, 1000.0, "бензиновая карта (Petrol), точка 1 из 80 (x = 0) ещё не прочитана из вариатора"},
        {1, 79, -32.01, "точка 80 из 80 (x = 7900): значение -32.01 вне допустимых пределов"},
        {2, 3, -120.0, "газовая карта TPS (LPGLoadDependence), точка 4 из 80 (x = 3) ещё не прочитана"},
        {3, 50, 101.5, "бензиновая карта TPS (PetrolLoadDependence), точка 51 из 80 (x = 50): значение 101.5 вне допустимых пределов от -101 до 101"},
        {3, 10, std::nan(""), "точка 11 из 80"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        screen.Clear();
        TimingMaps maps;
        InitTimingMaps(maps);
        TimingMap& map = maps[static_cast<int>(c.kind)];
        map.y[static_cast<std::size_t>(c.point)] = c.y;
        const auto tally = kKinds[c.kind].write(*link, map);
        EXPECT_FALSE(tally.completed);
        EXPECT_TRUE(port->written.empty());
        ASSERT_EQ(screen.messages.size(), 1u);
        EXPECT_NE(screen.messages[0].find(c.says), std::string::npos) << screen.messages[0];
    }
    // The bounds themselves go out.
    TimingMap edge;
    edge.y.fill(32.0);
    edge.y[1] = -32.0;
    for (int i = 0; i < 80; ++i) {
        const auto v = static_cast<std::uint16_t>(EncodeMapValue(MapKind::LPG, edge.y[static_cast<std::size_t>(i)]));
        port->replies.push_back(Complement(Frame(0xAA, 1, static_cast<std::uint8_t>(i), v)));
    }
    EXPECT_TRUE(WritePLGMap(*link, edge).Ok());
}

class SimTransferTest : public SimFixture {
protected:
    void SetUp() override {
        SimFixture::SetUp();
        sim = &AddSim(2);
        ASSERT_EQ(link->Connect(2, false), 1);
        FillMapTemplate(state.document);
        screen.Clear();
    }
    sim::Variator* sim = nullptr;
    MapsState state;
};

TEST_F(SimTransferTest, SingleMapButtonWritesTheWorkingCopyWithoutCommit) {
    state.document.SetPoint(MapKind::Petrol, 3, -2.5, MapEditCause::Replace);
    const int frames = sim->FramesSeen();
    const auto tally = PreviouselyPETROLmapWriteButtonClick(*link, state);
    EXPECT_TRUE(tally.Ok());
    EXPECT_EQ(sim->FramesSeen() - frames, 80);
    const auto working = sim->Working();
    EXPECT_EQ(working.maps[1][0], 200);
    EXPECT_EQ(working.maps[1][3], -250);
    EXPECT_EQ(working.maps[0][0], 0);  // other maps untouched
    EXPECT_EQ(sim->Commits(), 0);
    EXPECT_EQ(sim->Eeprom().maps[1][0], 0);
    EXPECT_TRUE(screen.messages.empty());
}

TEST_F(SimTransferTest, SingleMapButtonsRefuseWhenTheyMust) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::vector<std::string> messages;
    } cases[] = {
        {"monitor polling", [&] { state.guard.RealtimeReadingActive = true; },
         {"Перед записью данных в вариатоор, завершите чтение параметров реального времени."}},
        {"tracking the throttle", [&] { state.guard.TPSFixingActive = true; },
         {"Перед записью данных в вариатоор, завершите чтение текущего значения TPS."}},
        {"not connected", [&] { link->ShowConnectionState(state::Disconnected); }, {}},
    };
    TransferTally (*buttons[])(DeviceLink&, MapsState&) = {
        PreviouselyGASmapWriteButtonClick, PreviouselyPETROLmapWriteButtonClick,
        PreviouselyGASTPSmapWriteButtonClick, PreviouselyPETROLTPSmapWriteButtonClick};
    for (const auto& c : cases) {
        for (auto* button : buttons) {
            SCOPED_TRACE(c.name);
            state.guard = {};
            link->ShowConnectionState(state::Connected);
            screen.Clear();
            c.arrange();
            const int frames = sim->FramesSeen();
            EXPECT_FALSE(button(*link, state).completed);
            EXPECT_EQ(sim->FramesSeen(), frames);
            EXPECT_EQ(screen.messages, c.messages);
        }
    }
}

// A press made from the messages pumped while a map is being read must not
// put its frames between the read's frames.
TEST_F(SimTransferTest, ButtonPressedDuringATransferIsRefused) {
    TransferTally nested;
    bool pressed = false;
    screen.on_pump = [&] {
        if (pressed) return;
        pressed = true;
        nested = PreviouselyGASmapWriteButtonClick(*link, state);
    };
    const int frames = sim->FramesSeen();
    const auto read = ReadLPGMap(*link, state.document);
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(read.Ok());
    EXPECT_FALSE(nested.completed);
    EXPECT_EQ(sim->FramesSeen() - frames, 80);
    EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kLineBusyMessage))});
    EXPECT_FALSE(link->LineBusy());
}

}  // namespace
}  // namespace tovrel::test
