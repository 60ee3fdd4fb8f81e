#pragma once
// A picture of the live operating point: the monitor run on the demo's
// simulated engine, the speed map of the fuel in use shown with its cursor,
// markers and trail.
#include <QString>
#include <QStringList>

namespace tovrel::ui {

class Desktop;

// Saves `file_name` in `dir` and returns it; an empty list when something
// failed, `error` then says what. The monitor is stopped again at the end.
QStringList TakeLiveScreenshot(Desktop& desktop, const QString& dir, const QString& file_name, QString& error,
                               int timeout_ms = 30000);

}  // namespace tovrel::ui
