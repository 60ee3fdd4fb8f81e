// The built-in demonstration: what a new user's first read of it shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "ConfigurationReadWrite.h"
#include "Demo.h"
#include "SimFixture.h"

namespace tovrel::test {
namespace {

TEST(DemoTest, FirstReadShowsPlausibleMapsAndCalibration) {
    TempDir base;
    ::setenv("TOVREL_PORT_DIR", "/before/the/demo", 1);
    std::string demo_dir;
    {
        sim::DemoOptions options;
        options.paced = false;
        options.base_dir = base.path();
        sim::Demo demo(options);
        demo_dir = demo.dir();
        ASSERT_STREQ(std::getenv("TOVREL_PORT_DIR"), demo.port_dir().c_str());
        EXPECT_TRUE(std::filesystem::is_regular_file(demo.firmware_image()));
        EXPECT_EQ(std::filesystem::file_size(demo.firmware_image()) % 4, 0u);

        RecordingScreen screen;
        DeviceLink link(screen);
        link.port_dir = demo.port_dir();
        link.sleep_ms = [](int) {};
        link.default_port_dir = demo.dir();
        // The scan passes the empty numbers and finds the normal firmware.
        ASSERT_TRUE(link.AutoConnect(1, 255));
        EXPECT_EQ(link.DeviceMode, 1);
        EXPECT_EQ(link.OpenPortNumber(), demo.port_number());

        SettingsState settings;
        settings.program_dir = demo.dir();
        MapsState state;
        EXPECT_TRUE(ReadDeviceOptions(link, settings).Ok());
        EXPECT_TRUE(settings.options.DeviceCapabilities.KeepsLogs());
        ASSERT_TRUE(ReadAllData(link, state).Ok());
        EXPECT_EQ(screen.messages, std::vector<std::string>{});

        const auto& lpg = state.document.Maps().LPG.y;
        const auto& petrol = state.document.Maps().Petrol.y;
        for (int i = 0; i < 80; ++i) {
            SCOPED_TRACE(i);
            // On the charts' axes (0 to 20 degrees, 0 to 100 %), never the
            // not-yet-read markers.
            EXPECT_GT(lpg[i], 0.0);
            EXPECT_LT(lpg[i], 20.0);
            EXPECT_GT(petrol[i], 0.0);
            EXPECT_LE(petrol[i], lpg[i]);  // gas burns slower: it gets more
            EXPECT_GE(state.document.Maps().LPGLoadDependence.y[i], 80.0);
            EXPECT_LE(state.document.Maps().LPGLoadDependence.y[i], 100.0);
            EXPECT_GE(state.document.Maps().PetrolLoadDependence.y[i], 80.0);
            EXPECT_LE(state.document.Maps().PetrolLoadDependence.y[i], 100.0);
        }
        // Rises with engine speed through the working range.
        for (int i = 9; i < 42; ++i) EXPECT_LE(lpg[i], lpg[i + 1]) << i;
        EXPECT_GT(lpg[40] - lpg[8], 5.0);
        EXPECT_GT(petrol[40], petrol[8]);
        EXPECT_EQ(state.document.Maps().LPGLoadDependence.y[0], 100.0);

        // Calibrated throttle points bracket what the live sensor reads.
        const int released = std::stoi(screen.Text("ADC_MIN_Value_Label"));
        const int pressed = std::stoi(screen.Text("ADC_MAX_Value_Label"));
        EXPECT_LT(released, pressed);
        const auto tps = static_cast<std::uint16_t>(link.UARTdataExchangeForTovrel(ExchangeOp::Read, 129, 0, 1000, false, 1));
        EXPECT_GE(tps + 10, released);
        EXPECT_LE(tps, pressed + 10);
        link.Disconnect();

        // The next number reaches the oscilloscope firmware.
        EXPECT_EQ(link.Connect(demo.scope_port_number(), false), 3);
        link.Disconnect();
    }
    EXPECT_STREQ(std::getenv("TOVREL_PORT_DIR"), "/before/the/demo");
    EXPECT_FALSE(std::filesystem::exists(demo_dir));
    ::unsetenv("TOVREL_PORT_DIR");
}

}  // namespace
}  // namespace tovrel::test
