// The exchange against a line that answers with the fuzz input: whatever
// comes, a write counts as confirmed only with the value sent, a read only
// with a reply whose checks pass, and a call never goes past its attempts.
#include "Dataextractor.h"
#include "FuzzSupport.h"

using namespace tovrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    // The pure verdict first, on the first 14 bytes as request and reply.
    if (size >= 14) {
        std::uint8_t request[7], reply[7];
        std::copy_n(data, 7, request);
        std::copy_n(data + 7, 7, reply);
        const auto v = JudgeReply(data[0] & 1 ? ExchangeOp::Write : ExchangeOp::Read, request, reply);
        const bool checks = reply[3] == static_cast<std::uint8_t>(~reply[5]) &&
                            reply[4] == static_cast<std::uint8_t>(~reply[6]);
        FUZZ_CHECK((v == ReplyVerdict::BadCheck) == !checks);
    }
    const std::uint8_t how = in.Byte();
    const bool write = how & 1;
    const bool show = how & 2;
    const auto attempts = static_cast<std::int8_t>(1 + (how >> 2) % 5);
    const auto address = in.Byte(), index = in.Byte();
    const auto value = static_cast<std::int16_t>(in.Word());

    fuzz::QuietScreen screen;
    auto port = std::make_unique<fuzz::InputPort>(in);
    auto* p = port.get();
    DeviceLink link(screen, std::move(port));
    link.sleep_ms = [](int) {};
    p->Open("", kBaudRate, kExchangeTimeoutMs);
    const auto r = link.UARTdataExchangeForTovrel(write ? ExchangeOp::Write : ExchangeOp::Read, address, index,
                                                  value, show, attempts);
    FUZZ_CHECK(p->written.size() % 7 == 0);
    FUZZ_CHECK(p->written.size() <= 7u * static_cast<unsigned>(attempts));
    if (write && link.LastExchangeOk()) FUZZ_CHECK(r == value);
    if (!show) FUZZ_CHECK(screen.messages == 0);
    // Every request frame is the one asked for.
    for (std::size_t at = 0; at < p->written.size(); at += 7) {
        const auto* f = p->written.data() + at;
        FUZZ_CHECK(f[0] == (write ? 0xAA : 0x55) && f[1] == address && f[2] == index);
        FUZZ_CHECK(f[5] == static_cast<std::uint8_t>(~f[3]) && f[6] == static_cast<std::uint8_t>(~f[4]));
    }
    return 0;
}
