#pragma once
// Map values as the text a spreadsheet or a text editor copies and pastes.
//
// Copy: tab-separated, the user's decimal separator. A grid block in the
// grid's shape (rows are the grid's rows); a chart selection as rows of
// "engine speed (or pedal position) TAB value".
//
// Paste: cells separated by tabs, else by semicolons, else by commas when a
// line holds more than one comma or the text has decimal points (a single
// comma between digits is a decimal comma: "1,5" is one and a half). Point
// and comma decimals alike. One column fills from the anchor in point order;
// a block fills the grid's shape from the anchor's cell; on a chart, two
// columns whose first holds the map's axis values (as a chart copy gives)
// put each value at its point. Nothing is changed unless every cell is a
// number within the map's range and the whole text fits; the refusal names
// the first bad cell and its text.
#include <QString>
#include <array>
#include <vector>

#include "Calculations.h"

namespace tovrel::ui {

using MapValues = std::array<double, MapPointCount>;

// Rows of cells, each a trimmed text; blank lines at the end dropped.
std::vector<std::vector<QString>> SplitSpreadsheetText(const QString& text);
// A number in point or comma decimals; nothing for any other text.
std::optional<double> ParseCellNumber(const QString& cell);

struct PastePlan {
    std::vector<int> points;     // in point order
    std::vector<double> values;  // for each point
    QString error;               // empty when the paste may go ahead
};
PastePlan PlanPaste(MapKind kind, const QString& text, int anchor, bool onto_chart);

QString CopyGridBlock(const MapValues& y, const std::vector<int>& points);
QString CopyChartRows(MapKind kind, const MapValues& y, const std::vector<int>& points);

}  // namespace tovrel::ui
