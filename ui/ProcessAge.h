#pragma once

namespace tovrel::ui {

// Milliseconds since this process was created (the loading of the program
// and its libraries included); -1 when the system does not say.
long long ProcessAgeMs();

}  // namespace tovrel::ui
