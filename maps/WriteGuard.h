#pragma once
// The write guard: writes started by the user are refused while the
// real-time monitor polls or the throttle sensor tracking runs.
#include "Screen.h"
#include "MapsTexts.h"

namespace tovrel {

struct WriteGuard {
    bool RealtimeReadingActive = false;  // set by the real-time monitor
    bool TPSFixingActive = false;        // set by the throttle sensor tracking

    // 0 when a write may start; 1 (monitor) or 2 (tracking) after showing why not.
    int CheckWriteAllowed(Screen& screen) const {
        if (RealtimeReadingActive) {
            screen.ShowMessage(Tr(MapsText::WriteWhileMonitor));
            return 1;
        }
        if (TPSFixingActive) {
            screen.ShowMessage(Tr(MapsText::WriteWhileTracking));
            return 2;
        }
        return 0;
    }
};

}  // namespace tovrel
