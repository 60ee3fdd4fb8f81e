#include "Commit.h"

namespace tovrel {

bool CommitToEEPROM(DeviceLink& link) {
    link.UARTdataExchangeForTovrel(ExchangeOp::Write, 0, 0, 0, true, 2);
    if (!link.LastExchangeOk()) return false;
    ++link.CommitsConfirmed;
    return true;
}

}  // namespace tovrel
