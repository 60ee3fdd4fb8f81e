#pragma once
// The string grid of one timing map: 9 columns by 11 rows, the first row and
// column fixed headers, the 8 x 10 body editable, 64 x 24 pixel cells. The
// grid's cells are the logic's "<grid>[c,r]" controls: what the logic writes
// arrives through GridControl, what the user types goes back through
// `on_edit` before the selection change or Enter that commits it is reported.
#include <QTableWidget>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "UiContext.h"

namespace tovrel::ui {

class MapGrid : public QTableWidget, public GridControl {
    Q_OBJECT
public:
    static constexpr int kColumns = 9, kRows = 11;
    static constexpr int kCellWidth = 64, kCellHeight = 24;

    explicit MapGrid(const QString& name, QWidget* parent = nullptr);

    // The user changed a body cell's text (column, row from 0, headers included).
    std::function<void(int column, int row, const std::string& text)> on_edit;
    // The user selected another body cell.
    std::function<void(int column, int row)> on_select;
    // Enter was pressed in the grid, with or without an open cell editor.
    std::function<void()> on_enter;

    // The selected body cells changed (click, Shift+click, Shift+arrows, a
    // drag, Ctrl+A), as point indices in point order.
    std::function<void(const std::vector<int>& points)> on_selection;
    // A key pressed while no cell editor is open; true when it was taken.
    std::function<bool(QKeyEvent* event)> on_edit_key;
    std::function<void(QPoint global)> on_context_menu;
    // Selects the cells of `points` without moving the current cell (and so
    // without committing anything) and without reporting it back.
    void SetSelectedPoints(const std::vector<int>& points);
    std::vector<int> SelectedPoints() const;
    // The cells an operation held to the map's range, tinted until the next.
    void SetLimited(const std::vector<int>& points);
    const std::vector<int>& Limited() const { return limited_; }

    // A compare: the other side's values by point (empty: no compare). While
    // one runs, D cycles what the body cells show: the values, the
    // differences (ours less theirs) and the differences in percent of
    // theirs. Only the values can be edited; the logic's texts are kept and
    // shown again when the view comes back to them.
    enum class View { Values, Difference, Percent };
    void SetComparison(const std::vector<double>& theirs);
    void CycleView();
    View CurrentView() const { return view_; }

    void ApplyCellText(int column, int row, const std::string& text) override;
    QString CellText(int column, int row) const;

    // The engine's operating point drawn over the body: a border on the
    // nearest point, a tint on the points visited lately (strength 0..1).
    struct LiveMarks {
        int nearest = -1;  // none
        bool strong = true;        // the map of the fuel in use
        bool synchronised = true;  // otherwise grey and dashed
        std::vector<std::pair<int, double>> visited;
    };
    void SetLiveMarks(LiveMarks marks);
    const LiveMarks& LiveMarksShown() const { return live_; }
    // The cell of point `index` (0..79): columns by ten points, rows within.
    static int PointColumn(int index) { return index / 10 + 1; }
    static int PointRow(int index) { return index % 10 + 1; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool applying_ = false;  // cell texts from the logic are no user edits
    bool selecting_ = false;  // a selection set by the owner is not reported back
    std::vector<int> limited_;
    void ShowBody();
    QString Shown(int column, int row) const;
    View view_ = View::Values;
    std::vector<double> theirs_;
    QString values_[kColumns][kRows];  // the logic's texts of the cells
    LiveMarks live_;
};

}  // namespace tovrel::ui
