#include "MapGrid.h"

#include <QHeaderView>
#include <QContextMenuEvent>
#include <QItemSelection>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "NumberText.h"

namespace tovrel::ui {

namespace {

bool IsBody(int column, int row) {
    return column >= 1 && column < MapGrid::kColumns && row >= 1 && row < MapGrid::kRows;
}

}  // namespace

MapGrid::MapGrid(const QString& name, QWidget* parent) : QTableWidget(kRows, kColumns, parent) {
    setObjectName(name);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(kCellWidth);
    horizontalHeader()->setDefaultSectionSize(kCellWidth);
    verticalHeader()->setMinimumSectionSize(kCellHeight);
    verticalHeader()->setDefaultSectionSize(kCellHeight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Typing into the selected cell edits it, as do F2 and a double click.
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(true);
    const QBrush header_face = palette().button();
    const QBrush header_text = palette().buttonText();
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            auto* item = new QTableWidgetItem;
            if (!IsBody(c, r)) {
                // The fixed row and column: not selectable, not editable.
                item->setFlags(Qt::NoItemFlags);
                item->setBackground(header_face);
                item->setForeground(header_text);
                item->setTextAlignment(Qt::AlignCenter);
            }
            setItem(r, c, item);
        }
    const int frame = 2 * frameWidth();
    setFixedSize(kColumns * kCellWidth + frame, kRows * kCellHeight + frame);
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (applying_ || !on_edit || !IsBody(item->column(), item->row())) return;
        on_edit(item->column(), item->row(), item->text().toStdString());
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (selecting_ || applying_ || !on_selection) return;
        on_selection(SelectedPoints());
    });
    // The grid opens on the first body cell without reporting a selection:
    // the logic's remembered cell starts at the origin and is raised to it.
    applying_ = true;
    setCurrentCell(1, 1);
    applying_ = false;
}

void MapGrid::ApplyCellText(int column, int row, const std::string& text) {
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows) return;
    values_[column][row] = QString::fromStdString(text);
    applying_ = true;
    item(row, column)->setText(Shown(column, row));
    applying_ = false;
}

QString MapGrid::Shown(int column, int row) const {
    const QString& value = values_[column][row];
    if (view_ == View::Values || !IsBody(column, row)) return value;
    const auto point = static_cast<std::size_t>((column - 1) * 10 + (row - 1));
    const auto parsed = ParseGeneral(value.toStdString());
    if (!parsed || point >= theirs_.size()) return value;
    const double ours = *parsed;
    const auto number = [](double v) { return QString::fromStdString(FormatGeneral(v)); };
    const double theirs = theirs_[point];
    // To the hundredth the variator keeps: no float noise in the cells.
    const double difference = std::round((ours - theirs) * 100) / 100;
    if (view_ == View::Difference)
        return (difference > 0 ? "+" : "") + number(difference);
    if (theirs == 0) return difference == 0 ? QString("0 %") : QString("—");
    const double percent = std::round(difference / std::abs(theirs) * 1000) / 10;
    return (percent > 0 ? "+" : "") + number(percent) + " %";
}

void MapGrid::ShowBody() {
    applying_ = true;
    for (int c = 1; c < kColumns; ++c)
        for (int r = 1; r < kRows; ++r) item(r, c)->setText(Shown(c, r));
    // The corner says what the body shows.
    item(0, 0)->setText(view_ == View::Difference ? QString::fromUtf8("Δ")
                        : view_ == View::Percent  ? QString::fromUtf8("Δ %")
                                                  : values_[0][0]);
    applying_ = false;
    setEditTriggers(view_ == View::Values ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                                QAbstractItemView::AnyKeyPressed
                                          : QAbstractItemView::NoEditTriggers);
}

void MapGrid::SetComparison(const std::vector<double>& theirs) {
    theirs_ = theirs;
    if (theirs_.empty()) view_ = View::Values;
    ShowBody();
}

void MapGrid::CycleView() {
    if (theirs_.empty()) return;
    view_ = view_ == View::Values ? View::Difference : view_ == View::Difference ? View::Percent : View::Values;
    ShowBody();
}

void MapGrid::SetSelectedPoints(const std::vector<int>& points) {
    if (points == SelectedPoints()) return;
    selecting_ = true;
    QItemSelection selection;
    for (int p : points) {
        if (p < 0 || p >= 80) continue;
        const QModelIndex i = model()->index(p % 10 + 1, p / 10 + 1);
        selection.select(i, i);
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    selecting_ = false;
}

std::vector<int> MapGrid::SelectedPoints() const {
    std::vector<int> points;
    for (const QModelIndex& i : selectionModel()->selectedIndexes())
        if (IsBody(i.column(), i.row())) points.push_back((i.column() - 1) * 10 + (i.row() - 1));
    std::sort(points.begin(), points.end());
    return points;
}

void MapGrid::SetLimited(const std::vector<int>& points) {
    const auto tint = [this](int p, bool on) {
        if (p < 0 || p >= 80) return;
        if (auto* it = item(p % 10 + 1, p / 10 + 1)) it->setBackground(on ? QBrush(QColor(0xf0, 0xc0, 0xf0)) : QBrush());
    };
    applying_ = true;
    for (int p : limited_) tint(p, false);
    limited_ = points;
    for (int p : limited_) tint(p, true);
    applying_ = false;
}

void MapGrid::contextMenuEvent(QContextMenuEvent* event) {
    if (on_context_menu) on_context_menu(event->globalPos());
    event->accept();
}

QString MapGrid::CellText(int column, int row) const {
    const auto* i = item(row, column);
    return i ? i->text() : QString();
}

void MapGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // The base class commits an open editor first, so the edit is reported
    // before the selection that takes it.
    QTableWidget::currentChanged(current, previous);
    if (applying_ || !on_select || !current.isValid() || current == previous) return;
    if (!IsBody(current.column(), current.row())) return;
    on_select(current.column(), current.row());
}

void MapGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableWidget::closeEditor(editor, hint);
    // The item delegate closes an editor with this hint on Enter only.
    if (hint == QAbstractItemDelegate::SubmitModelCache && on_enter) on_enter();
}

void MapGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_D && !theirs_.empty() && state() != EditingState &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))) {
        CycleView();
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
        if (on_enter) on_enter();
        event->accept();
        return;
    }
    if (state() != EditingState && on_edit_key && on_edit_key(event)) {
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void MapGrid::SetLiveMarks(LiveMarks marks) {
    const bool same = marks.nearest == live_.nearest && marks.strong == live_.strong &&
                      marks.synchronised == live_.synchronised && marks.visited == live_.visited;
    live_ = std::move(marks);
    if (!same) viewport()->update();
}

void MapGrid::paintEvent(QPaintEvent* event) {
    QTableWidget::paintEvent(event);
    if (live_.nearest < 0 && live_.visited.empty()) return;
    QPainter p(viewport());
    const QColor ink = live_.synchronised ? QColor(0x00, 0x90, 0x30) : QColor(0x90, 0x90, 0x90);
    const double weight = live_.strong ? 1.0 : 0.4;
    const auto cell = [this](int point) {
        return visualRect(model()->index(PointRow(point), PointColumn(point)));
    };
    for (const auto& [point, strength] : live_.visited) {
        if (point < 0 || point >= (kColumns - 1) * (kRows - 1)) continue;
        QColor tint = ink;
        tint.setAlphaF(static_cast<float>(0.35 * weight * std::clamp(strength, 0.0, 1.0)));
        p.fillRect(cell(point), tint);
    }
    if (live_.nearest >= 0 && live_.nearest < (kColumns - 1) * (kRows - 1)) {
        QColor edge = ink;
        edge.setAlphaF(static_cast<float>(weight));
        QPen pen(edge, 3);
        if (!live_.synchronised) pen.setStyle(Qt::DashLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(cell(live_.nearest).adjusted(1, 1, -2, -2));
    }
}

}  // namespace tovrel::ui
