// What the port box tells about each number, and the messages when a port
// exists but this user may not open it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "PortInfo.h"
#include "PortPath.h"
#include "SimFixture.h"

namespace tovrel::test {
namespace {

namespace fs = std::filesystem;

class PortInfoTest : public SimFixture {
protected:
    void SetUp() override {
        SimFixture::SetUp();
        denied = dir / "COM3";
        std::ofstream(denied) << "";
        ::chmod(denied.c_str(), 0);
        // Root may open anything: there the refusal is the check's answer.
        if (::geteuid() == 0) {
            check = [this](const std::string& path) { return path == denied ? EACCES : CheckPortAccess(path); };
        }
        link->port_access = check;
    }
    std::string denied;
    PortAccessCheck check = CheckPortAccess;
};

TEST_F(PortInfoTest, EachNumberSaysWhatItReaches) {
    sim::Line pty(dir / "COM2");
    fs::create_symlink(dir / "gone", dir / "COM4");
    std::ofstream(dir / "COM5") << "";
    auto busy = [&](const std::string& path) { return path == dir / "COM5" ? EIO : check(path); };

    struct Case {
        int number;
        PortAccess access;
        std::string summary;
    } cases[] = {
        {1, PortAccess::Missing, "COM1: " + dir / "COM1" + " — не найден"},
        {2, PortAccess::Usable, "COM2: " + dir / "COM2" + " (" + pty.terminal_path() + ")"},
        {3, PortAccess::NoPermission,
         "COM3: " + denied + " — Нет прав на доступ к " + denied +
             ". Добавьте пользователя в группу dialout: sudo usermod -aG dialout $USER, затем выйдите из системы и "
             "войдите снова."},
        {4, PortAccess::Missing, "COM4: " + dir / "COM4" + " — не найден"},  // a link to nothing
        {5, PortAccess::Unusable, "COM5: " + dir / "COM5" + " — недоступен: Input/output error"},
        {1000, PortAccess::NoPath, "COM1000: номер слишком велик"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        const auto info = DescribePort(c.number, busy);
        EXPECT_EQ(info.access, c.access);
        EXPECT_EQ(PortSummary(info), c.summary);
    }
    const auto all = DescribePorts(busy);
    ASSERT_EQ(all.size(), 254u);
    EXPECT_EQ(all.front().number, 1);
    EXPECT_EQ(all[1].device, pty.terminal_path());
}

TEST_F(PortInfoTest, UnassignedNumbersBeyondTheDevicesPresentSaySo) {
    ::unsetenv("TOVREL_PORT_DIR");
    const auto info = DescribePort(254);
    if (info.path.rfind(kUnassignedPortPrefix, 0) != 0) GTEST_SKIP() << "this machine has 22 extra serial devices";
    EXPECT_EQ(PortSummary(info), "COM254: устройство не назначено");
}

TEST_F(PortInfoTest, ConnectFromTheMenuNamesTheMissingPermission) {
    EXPECT_EQ(link->Connect(3, true), 0);
    EXPECT_EQ(link->Connect(1, true), 0);
    ASSERT_EQ(screen.messages.size(), 2u);
    EXPECT_EQ(screen.messages[0], "Не удалось подключиться\n" + PermissionAdvice(denied));
    EXPECT_NE(screen.messages[0].find("sudo usermod -aG dialout $USER"), std::string::npos);
    EXPECT_EQ(screen.messages[1], "Не удалось подключиться");  // nothing there: the plain message
    EXPECT_EQ(link->OpenPortNumber(), 0);
}

TEST_F(PortInfoTest, FailedStartScanNamesThePortsItMayNotOpen) {
    EXPECT_FALSE(link->ConnectAtStart());
    ASSERT_EQ(screen.messages.size(), 1u);
    EXPECT_EQ(screen.messages[0].rfind("Автоматически определить com-порт", 0), 0u);
    EXPECT_NE(screen.messages[0].find("\n" + PermissionAdvice(denied)), std::string::npos);

    // Without such a port the message stays as it was.
    fs::remove(denied);
    screen.Clear();
    EXPECT_FALSE(link->ConnectAtStart());
    ASSERT_EQ(screen.messages.size(), 1u);
    EXPECT_EQ(screen.messages[0].find("dialout"), std::string::npos);
}

}  // namespace
}  // namespace tovrel::test
