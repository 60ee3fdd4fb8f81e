#include "Commit.h"

namespace tovrel {

bool CommitToEEPROM(DeviceLink& link) {
    link.UARTdataExchangeForTovrel(ExchangeOp::Write, 0, 0, 0, true, 2);
    return link.LastExchangeOk();
}

}  // namespace tovrel
