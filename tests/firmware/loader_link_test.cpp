// The loader word and the conversation byte for byte, on an in-memory port
// with a scripted loader: answers the simulator does not give, and port
// calls that fail.
#include <deque>

#include "FirmwareFixture.h"

namespace tovrel::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Word(std::uint32_t w) {
    auto b = WordBytes(w);
    return {b.begin(), b.end()};
}

class FakeLoaderPort : public LoaderSerialPort {
public:
    std::string path_suffix = "/COM1";  // the only port that opens
    std::vector<Bytes> writes;
    std::deque<std::uint8_t> input;
    std::vector<SerialTimeouts> timeouts;
    std::function<void(FakeLoaderPort&, const Bytes&)> on_write;
    int failing_reads = 0;   // the next read calls that fail; -1: all
    int failing_writes = 0;  // the next write calls that fail; -1: all
    int read_calls = 0;
    int opens = 0;
    bool open = false;
    int refused_line_settings = 0;  // the next SetLineSettings calls that fail
    bool refuse_queues = false;
    std::vector<std::uint32_t> bauds;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> queues;

    void Answer(const Bytes& b) { input.insert(input.end(), b.begin(), b.end()); }

    bool Open(const std::string& path, std::uint32_t baud, std::int32_t t) override {
        return OpenDevice(path) && SetLineSettings(baud) && SetTimeout(t);
    }
    bool OpenDevice(const std::string& path) override {
        if (open || !path.ends_with(path_suffix)) return false;
        open = true;
        ++opens;
        return true;
    }
    bool SetLineSettings(std::uint32_t baud) override {
        if (!open) return false;
        bauds.push_back(baud);
        if (refused_line_settings == 0) return true;
        --refused_line_settings;
        return false;
    }
    bool SetQueueSizes(std::uint32_t in, std::uint32_t out) override {
        if (!open) return false;
        queues.emplace_back(in, out);
        return !refuse_queues;
    }
    bool Drain() override { return open; }
    bool SetTimeout(std::int32_t t) override {
        auto u = static_cast<std::uint32_t>(t);
        return SetTimeouts({u, 1, u, 1, 1});
    }
    bool SetTimeouts(const SerialTimeouts& t) override {
        if (!open) return false;
        timeouts.push_back(t);
        return true;
    }
    bool Purge() override {
        input.clear();
        return open;
    }
    bool Write(const std::uint8_t* b, std::uint32_t n) override { return WriteSome(b, n).count == n; }
    bool Read(std::uint8_t* b, std::uint32_t n) override { return ReadSome(b, n).count == n; }
    TransferResult WriteSome(const std::uint8_t* b, std::uint32_t n) override {
        if (!open) return {};
        if (failing_writes != 0) {
            if (failing_writes > 0) --failing_writes;
            return {false, 0};
        }
        writes.emplace_back(b, b + n);
        if (on_write) on_write(*this, writes.back());
        return {true, n};
    }
    TransferResult ReadSome(std::uint8_t* b, std::uint32_t n) override {
        ++read_calls;
        if (!open) return {};
        if (failing_reads != 0) {
            if (failing_reads > 0) --failing_reads;
            return {false, 0};
        }
        std::uint32_t i = 0;
        for (; i < n && !input.empty(); ++i) {
            b[i] = input.front();
            input.pop_front();
        }
        return {true, i};
    }
    bool Close() override {
        open = false;
        return true;
    }
    bool IsOpen() const override { return open; }
};

// A loader that follows the protocol, with the answers a test changes.
struct ScriptedLoader {
    Bytes handshake_answer = Word(0);
    std::uint32_t confirmation_answer = 0;
    std::function<std::uint8_t(std::uint8_t)> echo = [](std::uint8_t b) { return static_cast<std::uint8_t>(~b); };
    int step = 0;
    std::uint32_t volume = 0, received = 0;

    void operator()(FakeLoaderPort& port, const Bytes& bytes) {
        switch (step) {
            case 0:
                port.Answer(handshake_answer);
                if (handshake_answer == Word(0)) step = 1;
                break;
            case 1:
                volume = WordFromBytes({bytes[0], bytes[1], bytes[2], bytes[3]});
                port.Answer(Word(~volume));
                step = 2;
                break;
            case 2:
                port.Answer(Word(~FirmwarePacketSize));
                port.Answer(Word(0xFFFFFFFF));  // FLASH erased
                step = 3;
                break;
            case 3:
                for (auto b : bytes) port.input.push_back(echo(b));
                received += static_cast<std::uint32_t>(bytes.size());
                if (received >= volume) step = 4;
                break;
            default:
                port.Answer(Word(confirmation_answer));
        }
    }
};

class LoaderLinkTest : public FirmwareFixture {
protected:
    FirmwareUpdate& Start(const Bytes& image) {
        auto owned = std::make_unique<FakeLoaderPort>();
        port = owned.get();
        port->on_write = std::ref(loader);
        auto& up = MakeUpdate(std::move(owned));
        up.LoaderPort.search_timeouts = kLoaderSearchTimeouts;
        up.LoaderPort.transfer_timeouts = kLoaderTransferTimeouts;
        screen.file_choices = {ImageFile(image)};
        return up;
    }
    FakeLoaderPort* port = nullptr;
    ScriptedLoader loader;
};

TEST(LoaderWord, TravelsLeastSignificantByteFirst) {
    EXPECT_EQ(Word(0x00000400), (Bytes{0x00, 0x04, 0x00, 0x00}));
    EXPECT_EQ(WordFromBytes({0xFF, 0xFB, 0xFF, 0xFF}), 0xFFFFFBFFu);
    EXPECT_EQ(WordText(0xFFFFFFFF), "-1");
    EXPECT_EQ(WordText(5), "5");
}

TEST_F(LoaderLinkTest, ShortWordReadKeepsTheUpperBytes) {
    auto owned = std::make_unique<FakeLoaderPort>();
    auto* fake = owned.get();
    LoaderLink link(std::move(owned));
    ASSERT_TRUE(link.Open(dir / "COM1"));
    fake->Answer({0x34, 0x12});
    std::uint32_t word = 0xAABBCCDD;
    const auto r = link.ReadWord(word);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.count, 2u);
    EXPECT_EQ(word, 0xAABB1234u);
}

TEST_F(LoaderLinkTest, ConversationOnTheLine) {
    const Bytes image = RandomImage(1500, 9);
    auto& up = Start(image);
    up.RunFirmwareUpdate();
    ASSERT_TRUE(up.Confirmed());
    ASSERT_EQ(port->writes.size(), 6u);
    EXPECT_EQ(port->writes[0], Word(0xFFFFFFFF));
    EXPECT_EQ(port->writes[1], (Bytes{0xDC, 0x05, 0x00, 0x00}));  // 1500
    EXPECT_EQ(port->writes[2], (Bytes{0x00, 0x04, 0x00, 0x00}));
    EXPECT_EQ(port->writes[3], Bytes(image.begin(), image.begin() + 1024));
    EXPECT_EQ(port->writes[4], Bytes(image.begin() + 1024, image.end()));
    EXPECT_EQ(port->writes[5], Word(0xFFFFFFFF));
    // The search set on opening, the transfer set from the volume on. Reads
    // wait in short slices of their own and put the set back after them.
    std::vector<SerialTimeouts> sets;
    for (const auto& t : port->timeouts) {
        if (t.read_interval == 0) {
            EXPECT_LE(t.read_constant, kLoaderReadSliceMs);
            continue;
        }
        if (sets.empty() || sets.back().read_interval != t.read_interval) sets.push_back(t);
    }
    ASSERT_EQ(sets.size(), 2u);
    const auto& search = sets.front();
    const auto& transfer = sets.back();
    EXPECT_EQ(search.read_interval, 2000u);
    EXPECT_EQ(search.read_multiplier, 1u);
    EXPECT_EQ(search.read_constant, 2000u);
    EXPECT_EQ(transfer.read_interval, 20000u);
    EXPECT_EQ(transfer.read_multiplier, 150u);
    EXPECT_EQ(transfer.read_constant, 20000u);
    EXPECT_EQ(port->timeouts.back().read_interval, 20000u);
}

// A read waits in slices: silence ends it after the set's interval, the
// wait for the first byte included, not after the far longer total a data
// packet's answer is allowed; a stop between two slices ends it at once.
TEST_F(LoaderLinkTest, ReadsEndAfterTheIntervalOfSilenceOrAtAStop) {
    struct Case {
        const char* name;
        std::uint32_t count;
        Bytes arriving;       // there before the read
        bool stop;            // the hook asks to stop
        std::uint32_t slices; // read calls on the port
        std::uint32_t got;
    } cases[] = {
        // 20 s of silence: 80 slices, not the 173.6 s a packet may take.
        {"silent packet answer", 1024, {}, false, 20000 / kLoaderReadSliceMs, 0},
        {"answer that stops short", 4, {0x01, 0x02}, false, 1 + 20000 / kLoaderReadSliceMs, 2},
        {"whole answer", 4, {1, 2, 3, 4}, false, 1, 4},
        {"stopped", 1024, {0x01}, true, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto owned = std::make_unique<FakeLoaderPort>();
        auto* fake = owned.get();
        LoaderLink loader_link(std::move(owned));
        ASSERT_TRUE(loader_link.Open(dir / "COM1"));
        loader_link.ApplyTransferTimeouts();
        int hook_calls = 0;
        loader_link.between_slices = [&] {
            ++hook_calls;
            return !c.stop;
        };
        fake->Answer(c.arriving);
        Bytes buffer(c.count);
        const auto r = loader_link.Read(buffer.data(), c.count);
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.count, c.got);
        EXPECT_EQ(static_cast<std::uint32_t>(fake->read_calls), c.slices);
        EXPECT_EQ(hook_calls, c.got == c.count ? 0 : static_cast<int>(c.stop ? 1 : c.slices));
        // The set in force is back on the port.
        EXPECT_EQ(fake->timeouts.back().read_interval, kLoaderTransferTimeouts.read_interval);
        EXPECT_EQ(fake->timeouts.back().read_multiplier, kLoaderTransferTimeouts.read_multiplier);
    }
}

TEST_F(LoaderLinkTest, HandshakeAnsweredInPartKeepsTheSentWordsUpperBytes) {
    loader.handshake_answer = {0x00, 0x00};
    auto& up = Start(RandomImage(8, 1));
    up.RunFirmwareUpdate();
    EXPECT_EQ(screen.After("Загрузка данных окончена, продолжаем процесс инициализации (длительность 5-30 секунд).", 2),
              (std::vector<std::string>{"Прочитали меньше байт, чем должны были",
                                        "Вариатор к порту не подключен, либо версия загрузчика  -65536"}));
    EXPECT_EQ(up.ConnectionStage, 0);
}

TEST_F(LoaderLinkTest, WrongFinalConfirmation) {
    loader.confirmation_answer = 7;
    auto& up = Start(RandomImage(1024, 2));
    up.RunFirmwareUpdate();
    EXPECT_FALSE(up.Confirmed());
    EXPECT_EQ(std::vector<std::string>(screen.log.end() - 4, screen.log.end()),
              (std::vector<std::string>{"Неверный ответ на подтверждение о правильности", "Был получен ответ", "7",
                                        std::string(Tr(kUpdateInterruptedMessage))}));
    EXPECT_FALSE(screen.Showed(kFirmwareButton, "Прошивка вариатора успешно обновлена."));
}

TEST_F(LoaderLinkTest, LoaderEchoingThePacketItselfGetsNoFinalConfirmation) {
    loader.echo = [](std::uint8_t b) { return b; };
    Bytes image(1024);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i);
    auto& up = Start(image);
    up.RunFirmwareUpdate();
    EXPECT_EQ(screen.CountLogged("Байт не верен"), 1024);
    EXPECT_EQ(std::vector<std::string>(screen.log.end() - 4, screen.log.end()),
              (std::vector<std::string>{
                  "Достигли окончания БЕЗ ПОДТВЕРЖДЕНИЯ правильности получения всех пакетов прошивки",
                  "Осталось записать байт:", "1024", std::string(Tr(kUpdateInterruptedMessage))}));
    EXPECT_EQ(port->writes.size(), 4u);  // handshake, volume, packet size, one packet: no confirmation word
    EXPECT_EQ(up.ConnectionStage, 4);
}

TEST_F(LoaderLinkTest, PacketWritesThatKeepFailingEndTheStage) {
    auto& up = Start(RandomImage(3000, 3));
    loader.step = 0;
    // The three words go through; every packet write fails.
    port->on_write = [this](FakeLoaderPort& p, const Bytes& b) {
        loader(p, b);
        if (loader.step == 3) p.failing_writes = -1;
    };
    up.RunFirmwareUpdate();
    EXPECT_EQ(screen.CountLogged("Не смогли отправить данные прошивки"), kPacketWriteAttempts);
    EXPECT_EQ(screen.log.end()[-2], "3000");
    EXPECT_EQ(screen.log.end()[-3], "Осталось записать байт:");
    EXPECT_EQ(screen.log.back(), Tr(kUpdateInterruptedMessage));
    EXPECT_EQ(up.ConnectionStage, 4);
}

TEST_F(LoaderLinkTest, FailedPacketAnswerEndsTheStageWithoutAnotherByte) {
    auto& up = Start(RandomImage(3000, 4));
    port->on_write = [this](FakeLoaderPort& p, const Bytes& b) {
        loader(p, b);
        if (b.size() == 1024) p.failing_reads = 1;  // the first packet's answer
    };
    up.RunFirmwareUpdate();
    EXPECT_EQ(screen.After("Передали вариатору 1024 байт. Ждём от вариатора подтверждение получения.", 4),
              (std::vector<std::string>{
                  "Ответные данные прошивки от вариатора получены не были",
                  "Достигли окончания БЕЗ ПОДТВЕРЖДЕНИЯ правильности получения всех пакетов прошивки",
                  "Осталось записать байт:", "3000"}));
    EXPECT_EQ(port->writes.size(), 4u);  // the three words and the one packet
    EXPECT_EQ(up.ConnectionStage, 4);
}

TEST_F(LoaderLinkTest, SearchReadThatKeepsFailingEndsEachAttempt) {
    auto& up = Start(RandomImage(8, 5));
    port->failing_reads = -1;
    up.RunFirmwareUpdate();
    // Seven attempts on COM1, each giving up after its bounded repeats.
    EXPECT_EQ(port->opens, 7);
    EXPECT_EQ(port->read_calls, 7 * (kSearchReadRepeats + 1));
    EXPECT_EQ(screen.CountLogged("Вариатор к порту не подключен"), 7);
    EXPECT_TRUE(port->writes.empty());
    EXPECT_TRUE(screen.Logged("Вариатор с нужной версией загрузчика обнаружить не удалось."));
    EXPECT_EQ(screen.CountLogged("Попытка открыть порт COM2 не увенчалась успехом"), 4);
    EXPECT_EQ(screen.CountLogged("Попытка открыть порт COM255 не увенчалась успехом"), 1);
}

TEST_F(LoaderLinkTest, RememberedPort255DoesNotCutTheSearchShort) {
    link->SaveDefaultPort(255);
    auto& up = Start(RandomImage(8, 6));
    up.RunFirmwareUpdate();
    // Three attempts on the remembered port, then the scan goes on to COM1.
    EXPECT_EQ(screen.CountLogged("Попытка открыть порт COM255 не увенчалась успехом"), 3);
    EXPECT_EQ(up.LoaderPortNumber(), 1);
    EXPECT_TRUE(up.Confirmed());
}

TEST_F(LoaderLinkTest, SearchOpensInStepsWithAMessageForEachRefusal) {
    struct Case {
        int refused_line_settings;
        bool refuse_queues;
        int settings_messages;
        int queue_messages;
    };
    for (const Case c : {Case{0, false, 0, 0}, Case{2, false, 2, 0}, Case{0, true, 0, 1}}) {
        SCOPED_TRACE(c.refused_line_settings * 10 + c.refuse_queues);
        screen.log.clear();
        loader = ScriptedLoader{};
        auto& up = Start(RandomImage(8, 7));
        port->refused_line_settings = c.refused_line_settings;
        port->refuse_queues = c.refuse_queues;
        up.RunFirmwareUpdate();
        EXPECT_TRUE(up.Confirmed());
        // A refused line setting closes the port and costs the attempt; a
        // refused queue size is logged and the attempt goes on.
        EXPECT_EQ(port->opens, 1 + c.refused_line_settings);
        EXPECT_EQ(screen.CountLogged("Не удалось установить параметры com-порта"), c.settings_messages);
        EXPECT_EQ(screen.CountLogged("Не удалось инициализировать буферы приема-передачи"), c.queue_messages);
        ASSERT_FALSE(port->queues.empty());
        EXPECT_EQ(port->queues.back(), std::make_pair(1024u, 1024u));
        EXPECT_EQ(port->bauds.back(), 9600u);
        EXPECT_EQ(screen.After("Открыт порт COM1. Выполнен запрос. Ожидаем ответ вариатора.", 1).size(), 1u);
    }
}

}  // namespace
}  // namespace tovrel::test
