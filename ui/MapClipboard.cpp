#include "MapClipboard.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <optional>

#include "EditTexts.h"
#include "MapOperations.h"
#include "NumberText.h"
#include "QtTexts.h"

namespace tovrel::ui {

namespace {

QChar Separator(const QStringList& lines, const QString& text) {
    if (text.contains('\t')) return '\t';
    if (text.contains(';')) return ';';
    if (text.contains('.')) return ',';
    for (const auto& line : lines)
        if (line.count(',') > 1) return ',';
    return QChar();  // one column; a comma is a decimal comma
}

QString Number(double y) { return QString::fromStdString(FormatGeneral(y)); }

double AxisValue(MapKind kind, int point) { return IsAdvanceMap(kind) ? 100.0 * point : point; }

}  // namespace

std::vector<std::vector<QString>> SplitSpreadsheetText(const QString& text) {
    QString t = text;
    t.replace("\r\n", "\n").replace('\r', '\n');
    QStringList lines = t.split('\n');
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.removeLast();
    const QChar sep = Separator(lines, t);
    std::vector<std::vector<QString>> rows;
    for (const auto& line : lines) {
        std::vector<QString> cells;
        const QStringList parts = sep.isNull() ? QStringList{line} : line.split(sep);
        for (const auto& p : parts) cells.push_back(p.trimmed());
        // A spreadsheet ends a row with a separator now and then.
        while (cells.size() > 1 && cells.back().isEmpty()) cells.pop_back();
        rows.push_back(std::move(cells));
    }
    return rows;
}

std::optional<double> ParseCellNumber(const QString& cell) {
    QString s = cell.trimmed();
    s.replace(QChar(0x2212), '-');  // a typographic minus
    s.remove(QChar(0x00A0)).remove(' ');
    if (s.count(',') + s.count('.') > 1) return std::nullopt;
    s.replace(',', '.');
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

PastePlan PlanPaste(MapKind kind, const QString& text, int anchor, bool onto_chart) {
    PastePlan plan;
    const auto rows = SplitSpreadsheetText(text);
    if (rows.empty()) {
        plan.error = QTr(EditText::PasteEmpty);
        return plan;
    }
    std::size_t columns = 0;
    for (const auto& r : rows) columns = std::max(columns, r.size());
    const double lo = MapMinimum(kind), hi = MapMaximum(kind);
    // Every cell a number: the first bad one is named, by row and column as
    // the spreadsheet counts them.
    std::vector<std::vector<double>> numbers(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < columns; ++c) {
            const QString cell = c < rows[r].size() ? rows[r][c] : QString();
            const auto v = ParseCellNumber(cell);
            if (!v) {
                plan.error = QTr(EditText::PasteBadCell).arg(r + 1).arg(c + 1).arg(cell);
                return plan;
            }
            numbers[r].push_back(*v);
        }
    }
    // On a chart, rows of "axis value TAB value" go to their points.
    if (onto_chart && columns == 2) {
        bool axis = true;
        std::vector<int> at;
        for (const auto& r : numbers) {
            const double x = r[0];
            const double point = IsAdvanceMap(kind) ? x / 100.0 : x;
            if (point != std::floor(point) || point < 0 || point >= MapPointCount) {
                axis = false;
                break;
            }
            at.push_back(static_cast<int>(point));
        }
        if (axis) {
            for (std::size_t r = 0; r < numbers.size(); ++r) {
                const double v = numbers[r][1];
                if (!(v >= lo && v <= hi)) {
                    plan = {};
                    plan.error = QTr(EditText::PasteOutOfRange).arg(r + 1).arg(2).arg(rows[r][1]).arg(lo).arg(hi);
                    return plan;
                }
                plan.points.push_back(at[r]);
                plan.values.push_back(RoundToDevice(kind, v));
            }
            return plan;
        }
    }
    const int anchor_column = anchor / 10, anchor_row = anchor % 10;
    for (std::size_t r = 0; r < numbers.size(); ++r) {
        for (std::size_t c = 0; c < columns; ++c) {
            const double v = numbers[r][c];
            if (!(v >= lo && v <= hi)) {
                plan = {};
                plan.error = QTr(EditText::PasteOutOfRange).arg(r + 1).arg(c + 1).arg(rows[r][c]).arg(lo).arg(hi);
                return plan;
            }
            int point;
            if (columns == 1) {
                point = anchor + static_cast<int>(r);
                if (point >= MapPointCount) point = -1;
            } else {
                const int gc = anchor_column + static_cast<int>(c), gr = anchor_row + static_cast<int>(r);
                point = gc < 8 && gr < 10 ? gc * 10 + gr : -1;
            }
            if (point < 0) {
                plan = {};
                plan.error = QTr(EditText::PasteDoesNotFit).arg(rows.size()).arg(columns).arg(anchor + 1);
                return plan;
            }
            plan.points.push_back(point);
            plan.values.push_back(RoundToDevice(kind, v));
        }
    }
    return plan;
}

QString CopyGridBlock(const MapValues& y, const std::vector<int>& points) {
    if (points.empty()) return {};
    int c0 = 8, c1 = -1, r0 = 10, r1 = -1;
    for (int p : points) {
        c0 = std::min(c0, p / 10), c1 = std::max(c1, p / 10);
        r0 = std::min(r0, p % 10), r1 = std::max(r1, p % 10);
    }
    QStringList lines;
    for (int r = r0; r <= r1; ++r) {
        QStringList cells;
        for (int c = c0; c <= c1; ++c) cells << Number(y[static_cast<std::size_t>(c * 10 + r)]);
        lines << cells.join('\t');
    }
    return lines.join('\n') + '\n';
}

QString CopyChartRows(MapKind kind, const MapValues& y, const std::vector<int>& points) {
    QStringList lines;
    for (int p : points) lines << Number(AxisValue(kind, p)) + '\t' + Number(y[static_cast<std::size_t>(p)]);
    return lines.isEmpty() ? QString() : lines.join('\n') + '\n';
}

}  // namespace tovrel::ui
