#include "MapGrid.h"

#include <QHeaderView>
#include <QKeyEvent>

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
    setSelectionMode(QAbstractItemView::SingleSelection);
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
    // The grid opens on the first body cell without reporting a selection:
    // the logic's remembered cell starts at the origin and is raised to it.
    applying_ = true;
    setCurrentCell(1, 1);
    applying_ = false;
}

void MapGrid::ApplyCellText(int column, int row, const std::string& text) {
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows) return;
    applying_ = true;
    item(row, column)->setText(QString::fromStdString(text));
    applying_ = false;
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
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
        if (on_enter) on_enter();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

}  // namespace tovrel::ui
