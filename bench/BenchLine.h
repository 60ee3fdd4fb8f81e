#pragma once
namespace tovrel::bench {

// 14 bytes of request and reply at 9600 baud, 10 bits a byte.
inline constexpr double kExchangeLineMs = 14 * 10 * 1000.0 / 9600.0;

}  // namespace tovrel::bench
