#pragma once
// The exchange benchmark's measurement on a connected link: COUNT exchanges,
// half writes, half reads, timed together.
#include <chrono>
#include <cstdio>

#include "BenchLine.h"
#include "Dataextractor.h"

namespace tovrel::bench {

// Prints the figures; returns 0 when every exchange succeeded.
inline int RunExchanges(DeviceLink& link, int count) {
    int failures = 0;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        auto index = static_cast<std::uint8_t>(i % 80);
        if (i % 2 == 0) {
            link.UARTdataExchangeForTovrel(ExchangeOp::Write, 1, index, static_cast<std::int16_t>(i), true, 2);
        } else {
            link.UARTdataExchangeForTovrel(ExchangeOp::Read, 1, index, 100, true, 2);
        }
        if (!link.LastExchangeOk()) ++failures;
    }
    double total_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    double mean = total_ms / count;
    std::printf("exchanges: %d (half reads, half writes), failures: %d\n", count, failures);
    std::printf("mean exchange time: %.3f ms; line time of 14 bytes: %.3f ms\n", mean, kExchangeLineMs);
    std::printf("ratio: %.3f (target <= 1.20)\n", mean / kExchangeLineMs);
    return failures == 0 ? 0 : 1;
}

}  // namespace tovrel::bench
