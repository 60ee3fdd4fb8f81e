// The whole update against the simulated variator: switch, loader search,
// the stages, the data packets, the closing steps and the button's follow-up.
#include <chrono>

#include "FirmwareFixture.h"

namespace tovrel::test {
namespace {

class UpdateTest : public FirmwareFixture {};

const char* const kSuccessLines[] = {
    "Достигли окончания с подтверждением правильности получения всех пакетов прошивки",
    "От вариатора было получено подтверждение о целостности прошивки и готовности к её запуску",
    "Прошивка вариатора успешно обновлена.",
};

TEST_F(UpdateTest, ImagesArriveByteExactAndTheVariatorComesBackInItsNewFirmware) {
    // 1025 bytes cannot be a whole firmware: it goes only because the user
    // says yes to the question.
    screen.confirm_answer = true;
    for (std::size_t size : {1024u, 1025u, 3000u, 65536u}) {
        SCOPED_TRACE(size);
        sims.clear();
        link->Disconnect();
        screen.log.clear();
        sim::Options o;
        o.loader_image_file = dir / "received.bin";
        auto& sim = AddSim(1, 1, o);
        ASSERT_EQ(link->Connect(1, false), 1);
        link->DeviceMode = 1;
        const auto bytes = RandomImage(size, static_cast<unsigned>(size));
        screen.file_choices = {ImageFile(bytes)};
        auto& up = MakeUpdate();
        configuration_reads = 0;
        screen.questions.clear();

        up.FirmwareFileSelectButtonClick();

        EXPECT_EQ(screen.questions.size(), size % 4 == 0 ? 0u : 1u);
        EXPECT_TRUE(up.Confirmed());
        EXPECT_EQ(sim.LoaderImage(), bytes);
        std::ifstream saved(dir / "received.bin", std::ios::binary);
        EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(saved), {}), bytes);
        for (auto* line : kSuccessLines) EXPECT_TRUE(screen.Logged(line)) << line;
        EXPECT_EQ(screen.CountLogged("Передали вариатору 1024 байт. Ждём от вариатора подтверждение получения."),
                  static_cast<int>(size / 1024));
        EXPECT_EQ(screen.Positions(kFirmwareGauge).end()[-2], 100);  // then the closing steps reset it
        // The follow-up found the variator again, in its normal firmware, and
        // read the configuration.
        EXPECT_TRUE(link->IsConnected());
        EXPECT_EQ(sim.Mode(), 1);
        EXPECT_EQ(configuration_reads, 1);
        EXPECT_EQ(screen.messages, std::vector<std::string>{});
    }
}

TEST_F(UpdateTest, ConversationOfA3000ByteImage) {
    auto& sim = AddSim(1);
    ASSERT_EQ(link->Connect(1, false), 1);
    link->DeviceMode = 1;
    sleeps.clear();
    screen.file_choices = {ImageFile(RandomImage(3000, 7))};
    auto& up = MakeUpdate();
    up.RunFirmwareUpdate();

    const std::vector<std::string> head = {
        "Нажали кнопку обновления файла прошивки",
        "Файл прошивки выбран",
        dir / "image.evf0",
        "Достигнут конец файла",
        "3000 байт размер файла прошивки",
        "Отправлен запрос на переключение в режим обновления прошивки.",
        "Требования к содержимому файла прошивки выполнены.",
        "Открыт порт COM1. Выполнен запрос. Ожидаем ответ вариатора.",
        "Загружаем данные (ориентировочно 5-15 секунд)...",
        "Загрузка данных окончена, продолжаем процесс инициализации (длительность 5-30 секунд).",
        "Вариатор подключен и готов к обновлению прошивки",
        "Объём прошивки был передан и получен правильный ответ",
        "Размер пакета был передан и получен правильный ответ",
        "FLASH очищена",
        "Передали вариатору 1024 байт. Ждём от вариатора подтверждение получения.",
        "Получено подтверждение предыдущего пакета. Осталось записать 1976 байт из 3000",
        "------------------------------------",
        "Передали вариатору 1024 байт. Ждём от вариатора подтверждение получения.",
        "Получено подтверждение предыдущего пакета. Осталось записать 952 байт из 3000",
        "------------------------------------",
        "Передали вариатору 952 байт. Ждём от вариатора подтверждение получения.",
        "Получено подтверждение предыдущего пакета. Осталось записать 0 байт из 3000",
        "------------------------------------",
        kSuccessLines[0], kSuccessLines[1], kSuccessLines[2],
    };
    EXPECT_EQ(screen.log, head);
    EXPECT_EQ(screen.Positions(kFirmwareGauge), (std::vector<int>{0, 35, 69, 100, 0}));
    // The switch went over ComPort, which the update then gave up.
    EXPECT_EQ(link->DeviceMode, 0);
    EXPECT_FALSE(link->port()->IsOpen());
    EXPECT_EQ(link->ConnectionState(), state::FirmwareUpdate);
    EXPECT_TRUE(screen.Showed(kFirmwareButton, "Идёт процесс инициализации. Занимает до 30 секунд."));
    EXPECT_TRUE(screen.Showed(kFirmwareButton, "Прошивка вариатора успешно обновлена."));
    // Pauses: file check, stages 1, 2, 4 and 5, before each packet, closing.
    EXPECT_EQ(sleeps, (std::vector<int>{3000, 500, 500, 500, 32, 32, 29, 500, 2000}));
    EXPECT_EQ(sim.LoaderUpdates(), 1);
    ExpectPageClosed();
    // The loader answered on COM1, which is now the remembered port.
    std::uint8_t remembered = 0;
    ASSERT_TRUE(link->LoadDefaultPort(remembered));
    EXPECT_EQ(remembered, 1);
}

TEST_F(UpdateTest, VariatorAlreadyInItsLoaderGetsNoSwitchRequest) {
    auto& sim = AddSim(2, 2);
    ASSERT_EQ(link->Connect(2, false), 2);
    link->DeviceMode = 2;
    link->SaveDefaultPort(2);
    const auto bytes = RandomImage(2048, 3);
    screen.file_choices = {ImageFile(bytes)};
    auto& up = MakeUpdate();
    up.RunFirmwareUpdate();
    EXPECT_FALSE(screen.Logged("Отправлен запрос на переключение в режим обновления прошивки."));
    EXPECT_TRUE(screen.Logged("Открыт порт COM2. Выполнен запрос. Ожидаем ответ вариатора."));
    EXPECT_TRUE(up.Confirmed());
    EXPECT_EQ(sim.LoaderImage(), bytes);
    EXPECT_EQ(up.LoaderPortNumber(), 2);
}

TEST_F(UpdateTest, CancelledDialogGoesToTheClosingStepsAndTheFollowUpStillRuns) {
    auto& sim = AddSim(1);
    link->SaveDefaultPort(1);
    screen.file_choices = {""};
    auto& up = MakeUpdate();
    up.beep_enabled = [] { return true; };
    up.FirmwareFileSelectButtonClick();
    EXPECT_EQ(screen.log, (std::vector<std::string>{"Нажали кнопку обновления файла прошивки", "Файл прошивки не выбран"}));
    EXPECT_EQ(screen.Text(kFirmwareMemo), "");
    EXPECT_EQ(sleeps.front(), 2000);
    EXPECT_EQ(sim.LoaderUpdates(), 0);
    EXPECT_TRUE(link->IsConnected());  // reconnected on the remembered port
    EXPECT_EQ(configuration_reads, 1);
    EXPECT_EQ(screen.beeps, 3);
    using Tone = RecordingScreen::Tone;
    EXPECT_EQ(screen.tones, (std::vector<Tone>{{523, 250}, {523, 500}, {523, 500}}));
}

TEST_F(UpdateTest, UnopenableFileLeavesTheConnectedVariatorAlone) {
    auto& sim = AddSim(1);
    ASSERT_EQ(link->Connect(1, false), 1);
    link->DeviceMode = 1;
    const int frames = sim.FramesSeen();
    sleeps.clear();
    screen.file_choices = {dir / "missing.evf0"};
    auto& up = MakeUpdate();
    up.RunFirmwareUpdate();
    EXPECT_EQ(screen.log.back(), "Файл прошивки невозможно открыть!");
    EXPECT_EQ(sleeps, (std::vector<int>{5000, 2000}));
    EXPECT_EQ(sim.FramesSeen(), frames);
    EXPECT_EQ(sim.Mode(), 1);
    EXPECT_TRUE(link->IsConnected());
    ExpectPageClosed();
}

// Images that cannot be flashed whole are refused before the device is
// touched: an empty one used to switch the variator into its loader and leave
// it there, one whose size is not a multiple of 4 was flashed and reported a
// success, a longer one was flashed cut to the buffer. The last two go only
// when the user says yes to the question, whose default is no.
TEST_F(UpdateTest, ImagesThatCannotBeFlashedWholeLeaveTheDeviceAlone) {
    const std::string odd = "Размер прошивки равен нулю, или не кратен четырём.";
    struct Case {
        const char* name;
        std::size_t size;
        std::string line;
        bool asks;
        bool yes;
    } cases[] = {
        {"empty", 0, odd, false, true},
        {"1023 bytes", 1023, odd, true, false},
        {"1022 bytes", 1022, odd, true, false},
        {"larger than the buffer", 262145, "Файл превышает размер буфера", true, false},
        {"1023 bytes, flashed anyway", 1023, odd, true, true},
        {"larger, flashed anyway", 262148, "Файл превышает размер буфера", true, true},
    };
    auto& sim = AddSim(1);
    ASSERT_EQ(link->Connect(1, false), 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!link->IsConnected()) {
            ASSERT_TRUE(link->ConnectAtStart());
        }
        link->DeviceMode = 1;
        screen.log.clear();
        screen.questions.clear();
        screen.confirm_answer = c.yes;
        const int frames = sim.FramesSeen();
        const int updates = sim.LoaderUpdates();
        const auto bytes = RandomImage(c.size, 3);
        screen.file_choices = {ImageFile(bytes)};
        auto& up = MakeUpdate();
        up.RunFirmwareUpdate();
        EXPECT_EQ(screen.CountLogged(c.line), 1);
        ASSERT_EQ(screen.questions.size(), c.asks ? 1u : 0u);
        if (c.asks) {
            EXPECT_TRUE(screen.questions[0].ends_with(Tr(kFlashAnywayQuestion))) << screen.questions[0];
        }
        if (c.asks && c.yes) {
            // What the loader can take: the whole file, or its first 262144 bytes.
            EXPECT_TRUE(up.Confirmed());
            const auto taken = std::min<std::size_t>(c.size, FirmwareImageCapacity);
            EXPECT_EQ(sim.LoaderImage(), std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + taken));
            ExpectPageClosed();
            continue;
        }
        EXPECT_EQ(screen.log.back(), Tr(kImageRefusedLine));
        EXPECT_EQ(screen.CountLogged("Отправлен запрос на переключение в режим обновления прошивки."), 0);
        EXPECT_EQ(sim.FramesSeen(), frames);
        EXPECT_EQ(sim.LoaderUpdates(), updates);
        EXPECT_EQ(sim.Mode(), 1);
        EXPECT_TRUE(link->IsConnected());
        EXPECT_FALSE(up.Confirmed());
        EXPECT_TRUE(screen.messages.empty());
        ExpectPageClosed(true);
    }
}

TEST_F(UpdateTest, SecondPressWhileTheUpdateRunsIsIgnored) {
    AddSim(1);
    ASSERT_EQ(link->Connect(1, false), 1);
    link->DeviceMode = 1;
    screen.file_choices = {ImageFile(RandomImage(1024, 1)), ImageFile(RandomImage(1024, 2), "other.evf0")};
    auto& up = MakeUpdate();
    int presses = 0;
    screen.on_pump = [&] {
        if (presses++ == 0) up.FirmwareFileSelectButtonClick();
    };
    up.FirmwareFileSelectButtonClick();
    EXPECT_EQ(screen.CountLogged("Нажали кнопку обновления файла прошивки"), 1);
    EXPECT_EQ(screen.file_choices.size(), 1u);
    EXPECT_TRUE(up.Confirmed());
}

TEST_F(UpdateTest, RefusedWhileAnotherProcedureHoldsTheLine) {
    screen.file_choices = {ImageFile(RandomImage(1024, 1))};
    auto& up = MakeUpdate();
    DeviceLink::LineHold hold(*link);
    up.FirmwareFileSelectButtonClick();
    EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kLineBusyMessage))});
    EXPECT_TRUE(screen.log.empty());
    EXPECT_EQ(configuration_reads, 0);
}

// Each loader fault ends the update with its lines, unconfirmed, without a
// hang and without the image reaching the loader's store.
struct FaultCase {
    const char* name;
    sim::Fault fault;
    int count;
    std::vector<std::string> lines;  // in this order, consecutive
    int stage;                       // ConnectionStage at the end
};

TEST_F(UpdateTest, InjectedLoaderFaultsEndWithTheirLines) {
    const std::vector<std::string> no_loader = {
        "Вариатор с нужной версией загрузчика обнаружить не удалось.", "-----Рекомендация:-----",
        "Попробуйте отключить питание вариатора,", "снова включить и и повторить попытку."};
    const FaultCase cases[] = {
        {"other loader version", sim::Fault::LoaderVersion, -1,
         {"Вариатор к порту не подключен, либо версия загрузчика  5"}, 0},
        {"silent loader", sim::Fault::LoaderSilent, -1,
         {"Прочитали меньше байт, чем должны были", "Вариатор к порту не подключен"}, 0},
        {"volume refused", sim::Fault::VolumeRefused, 1, {"Объём прошивки превышает допустимый"}, 1},
        {"packet size refused", sim::Fault::PacketSizeRefused, 1, {"Размер пакета недопустим"}, 2},
        {"erase failed", sim::Fault::EraseFailed, 1, {"FLASH не очищена"}, 3},
        {"one wrong answer byte", sim::Fault::WrongEcho, 1,
         {"Байт не верен", "Получено подтверждение предыдущего пакета. Осталось записать 952 байт из 3000",
          "------------------------------------", "Передали вариатору 952 байт. Ждём от вариатора подтверждение получения.",
          "Получено подтверждение предыдущего пакета. Осталось записать 0 байт из 3000",
          "------------------------------------",
          "Достигли окончания БЕЗ ПОДТВЕРЖДЕНИЯ правильности получения всех пакетов прошивки",
          "Осталось записать байт:", "1"},
         4},
        {"line dead mid-data", sim::Fault::LineDead, 1,
         {"Передали вариатору 1024 байт. Ждём от вариатора подтверждение получения.",
          "Прочитали меньше байт, чем должны были", "476", "байт прочитано",
          "Достигли окончания БЕЗ ПОДТВЕРЖДЕНИЯ правильности получения всех пакетов прошивки",
          "Осталось записать байт:", "1976"},
         4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sims.clear();
        link->Disconnect();
        screen.log.clear();
        sleeps.clear();
        auto& sim = AddSim(1);
        ASSERT_EQ(link->Connect(1, false), 1);
        link->DeviceMode = 1;
        sim.InjectFault(c.fault, c.count);
        screen.file_choices = {ImageFile(RandomImage(3000, 11))};
        auto& up = MakeUpdate();
        up.RunFirmwareUpdate();

        EXPECT_FALSE(up.Confirmed());
        EXPECT_EQ(up.ConnectionStage, c.stage);
        EXPECT_EQ(sim.LoaderUpdates(), 0);
        auto it = std::search(screen.log.begin(), screen.log.end(), c.lines.begin(), c.lines.end());
        EXPECT_NE(it, screen.log.end()) << "missing: " << c.lines.front();
        EXPECT_EQ(up.Interrupted(), c.stage >= 1);
        if (c.stage == 0) {
            // Seven attempts on COM1 (three as the remembered port, four in
            // the scan), the recommendation, and its 10 s.
            EXPECT_EQ(screen.CountLogged(c.lines.back()), 7);
            EXPECT_TRUE(std::search(screen.log.begin(), screen.log.end(), no_loader.begin(), no_loader.end()) !=
                        screen.log.end());
            EXPECT_TRUE(screen.Showed(kFirmwareButton, "Подключиться к вариатору не удалось."));
            EXPECT_TRUE(std::find(sleeps.begin(), sleeps.end(), 10000) != sleeps.end());
            ExpectPageClosed();
        } else {
            // The loader took the update up: the variator waits in it, and
            // the log, kept, says so last.
            auto lines = c.lines;
            lines.emplace_back(Tr(kUpdateInterruptedMessage));
            EXPECT_EQ(std::vector<std::string>(screen.log.end() - static_cast<std::ptrdiff_t>(lines.size()),
                                               screen.log.end()),
                      lines);
            EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kUpdateInterruptedMessage))});
            screen.messages.clear();
            ExpectPageClosed(true);
        }
    }
}

// The line gives out in the middle of the data: the update used to wipe its
// log, try to reconnect and say only that no variator was found, and on a
// silent line a packet's answer was waited for up to 150 ms a byte plus the
// constant. Now the log keeps its lines and ends with the one message, soon
// after the line fell silent, and nothing else is tried.
TEST_F(UpdateTest, InterruptedUpdateKeepsItsLogAndSaysSoOnce) {
    struct Case {
        const char* name;
        sim::LineFault line_fault;
        std::optional<sim::Fault> fault;
    } cases[] = {
        {"device vanishes", sim::LineFault::Vanish, std::nullopt},
        {"line goes silent", sim::LineFault::Silent, std::nullopt},
        {"loader cannot erase", sim::LineFault::None, sim::Fault::EraseFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sims.clear();
        link->Disconnect();
        screen.log.clear();
        screen.messages.clear();
        configuration_reads = 0;
        sim::Options o;
        o.line_fault = {c.line_fault, 2500};  // within the second data packet
        auto& sim = AddSim(1, 1, o);
        ASSERT_EQ(link->Connect(1, false), 1);
        link->DeviceMode = 1;
        if (c.fault) sim.InjectFault(*c.fault);
        screen.file_choices = {ImageFile(RandomImage(3000, 21))};
        auto& up = MakeUpdate();
        // A packet's answer may take 10 ms a byte: 10.5 s for a whole packet,
        // but only 300 ms of silence.
        up.LoaderPort.transfer_timeouts = {300, 10, 300, 10, 300};
        const auto start = std::chrono::steady_clock::now();

        up.FirmwareFileSelectButtonClick();

        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
        EXPECT_TRUE(up.Interrupted());
        EXPECT_FALSE(up.Confirmed());
        EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kUpdateInterruptedMessage))});
        EXPECT_EQ(screen.log.back(), Tr(kUpdateInterruptedMessage));
        ExpectPageClosed(true);
        // No reconnection and no configuration read: the variator waits in
        // its loader.
        EXPECT_EQ(configuration_reads, 0);
        EXPECT_EQ(link->OpenPortNumber(), 0);
        EXPECT_EQ(link->ConnectionState(), state::FirmwareUpdate);
        EXPECT_EQ(sim.LoaderUpdates(), 0);
    }
}

// What the message promises: the same image flashed again brings the
// variator back in its new firmware, without a switch request.
TEST_F(UpdateTest, SameImageAgainRecoversAnInterruptedUpdate) {
    sim::Options o;
    o.loader_idle_reset_ms = 200;
    auto& sim = AddSim(1, 1, o);
    ASSERT_EQ(link->Connect(1, false), 1);
    link->DeviceMode = 1;
    sim.InjectFault(sim::Fault::LineDead);
    const auto bytes = RandomImage(3000, 22);
    const auto path = ImageFile(bytes);
    screen.file_choices = {path, path};
    auto& up = MakeUpdate();
    up.FirmwareFileSelectButtonClick();
    ASSERT_TRUE(up.Interrupted());
    ASSERT_EQ(sim.Mode(), 2);

    screen.log.clear();
    up.FirmwareFileSelectButtonClick();
    EXPECT_FALSE(screen.Logged("Отправлен запрос на переключение в режим обновления прошивки."));
    EXPECT_FALSE(screen.Logged(Tr(kUpdateInterruptedMessage)));
    EXPECT_TRUE(up.Confirmed());
    EXPECT_EQ(sim.LoaderImage(), bytes);
    EXPECT_EQ(sim.Mode(), 1);
    EXPECT_TRUE(link->IsConnected());
    EXPECT_EQ(configuration_reads, 1);
    EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kUpdateInterruptedMessage))});
    EXPECT_EQ(screen.Text(kFirmwareMemo), "");  // the kept log gave way, and this one closed as usual
}

// The stop button works only while the loader is being talked to, asks
// first, and on "yes" ends even a wait on a silent line at once.
TEST_F(UpdateTest, StopButtonEndsTheUpdateWhenTheUserConfirms) {
    struct Case {
        const char* name;
        sim::LineFault line_fault;
        std::optional<sim::Fault> fault;
        const char* press_after;  // the log line after which the button is pressed
        bool yes;
        bool confirmed;
        bool interrupted;
    } cases[] = {
        {"silent line, yes", sim::LineFault::Silent, std::nullopt,
         "Передали вариатору 1024 байт. Ждём от вариатора подтверждение получения.", true, false, true},
        {"healthy line, no", sim::LineFault::None, std::nullopt,
         "Передали вариатору 1024 байт. Ждём от вариатора подтверждение получения.", false, true, false},
        {"loader search, yes", sim::LineFault::None, sim::Fault::LoaderSilent,
         "Загружаем данные (ориентировочно 5-15 секунд)...", true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sims.clear();
        link->Disconnect();
        screen.log.clear();
        screen.messages.clear();
        screen.questions.clear();
        sleeps.clear();
        sim::Options o;
        o.line_fault = {c.line_fault, 1500};  // after the first data packet went out
        auto& sim = AddSim(1, 1, o);
        ASSERT_EQ(link->Connect(1, false), 1);
        link->DeviceMode = 1;
        if (c.fault) sim.InjectFault(*c.fault, -1);
        screen.file_choices = {ImageFile(RandomImage(3000, 23))};
        auto& up = MakeUpdate();
        up.LoaderPort.transfer_timeouts = kLoaderTransferTimeouts;  // 20 s of silence before a read gives up
        // Pressed before the loader is talked to, the button does nothing.
        up.FirmwareStopButtonClick();
        screen.confirm_answer = c.yes;
        bool pressed = false;
        screen.on_pump = [&] {
            if (!pressed && !screen.log.empty() && screen.log.back() == c.press_after) {
                pressed = true;
                EXPECT_TRUE(screen.IsEnabled(kFirmwareStopButton));
                up.FirmwareStopButtonClick();
            }
        };
        const auto start = std::chrono::steady_clock::now();

        up.RunFirmwareUpdate();

        screen.on_pump = nullptr;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(screen.questions, std::vector<std::string>{std::string(Tr(kStopUpdateQuestion))});
        EXPECT_EQ(up.Confirmed(), c.confirmed);
        EXPECT_EQ(up.Interrupted(), c.interrupted);
        EXPECT_EQ(screen.Logged(Tr(kUpdateStoppedLine)), c.yes);
        if (c.interrupted) {
            EXPECT_EQ(screen.log.end()[-2], Tr(kUpdateStoppedLine));
            EXPECT_EQ(screen.messages, std::vector<std::string>{std::string(Tr(kUpdateInterruptedMessage))});
        } else {
            EXPECT_TRUE(screen.messages.empty());
        }
        if (c.yes && !c.interrupted) {
            // Stopped before a loader answered: no recommendation and no wait.
            EXPECT_EQ(screen.log.back(), Tr(kUpdateStoppedLine));
            EXPECT_FALSE(screen.Logged("Вариатор с нужной версией загрузчика обнаружить не удалось."));
            EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 10000), 0);
        }
        ExpectPageClosed(c.yes);
    }
}

TEST_F(UpdateTest, LoaderOfAnotherVersionOnceThenTheRightOne) {
    auto& sim = AddSim(1);
    ASSERT_EQ(link->Connect(1, false), 1);
    link->DeviceMode = 1;
    sim.InjectFault(sim::Fault::LoaderVersion, 1);
    const auto bytes = RandomImage(1024, 5);
    screen.file_choices = {ImageFile(bytes)};
    auto& up = MakeUpdate();
    up.RunFirmwareUpdate();
    EXPECT_EQ(screen.CountLogged("Вариатор к порту не подключен, либо версия загрузчика  5"), 1);
    EXPECT_TRUE(up.Confirmed());
    EXPECT_EQ(sim.LoaderImage(), bytes);
}

TEST_F(UpdateTest, VolumeAboveTheLoadersCapacityIsRefused) {
    sim::Options o;
    o.loader_capacity = 2048;
    auto& sim = AddSim(1, 2, o);
    link->SaveDefaultPort(1);
    screen.file_choices = {ImageFile(RandomImage(2052, 5))};
    auto& up = MakeUpdate();
    up.RunFirmwareUpdate();
    EXPECT_EQ(screen.log.end()[-2], "Объём прошивки превышает допустимый");
    EXPECT_EQ(screen.log.back(), Tr(kUpdateInterruptedMessage));
    EXPECT_EQ(up.ConnectionStage, 1);
    EXPECT_EQ(sim.LoaderUpdates(), 0);
}

}  // namespace
}  // namespace tovrel::test
