#include "RestorePointsDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "Program.h"
#include "QtTexts.h"
#include "RestoreFlow.h"
#include "UiTexts.h"

namespace tovrel::ui {

RestorePointsDialog::RestorePointsDialog(UiContext& ctx, std::filesystem::path directory, QWidget* parent)
    : QDialog(parent), ctx_(ctx), store_(std::move(directory)) {
    setObjectName("RestorePointsDialog");
    setWindowTitle(QTr(UiText::RestorePointsTitle));
    resize(760, 360);
    table_ = new QTableWidget(0, 3, this);
    table_->setObjectName("RestorePointsTable");
    table_->setHorizontalHeaderLabels(
        {QTr(UiText::RestorePointDate), QTr(UiText::RestorePointNote), QTr(UiText::RestorePointFile)});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);

    auto button = [this](UiText text, const char* name) {
        auto* b = new QPushButton(QTr(text), this);
        b->setObjectName(name);
        return b;
    };
    auto* with_editor = button(UiText::CompareWithEditorButton, "CompareWithEditorButton");
    auto* with_device = button(UiText::CompareWithDeviceButton, "CompareWithDeviceButton");
    auto* restore = button(UiText::RestoreButton, "RestorePointButton");
    auto* close = button(UiText::CloseButton, "CloseRestorePointsButton");
    auto forward = [this](void (*action)(Program&, const std::filesystem::path&)) {
        if (auto path = Chosen()) ctx_.Forward([action, p = *path](Program& program) { action(program, p); });
    };
    connect(with_editor, &QPushButton::clicked, this, [forward] { forward(&CompareEditorWithPoint); });
    connect(with_device, &QPushButton::clicked, this, [forward] { forward(&ComparePointWithDevice); });
    connect(restore, &QPushButton::clicked, this, [forward] { forward(&RestorePointClick); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    for (auto* b : {with_editor, with_device, restore}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addLayout(buttons);
    Reload();
}

void RestorePointsDialog::Reload() {
    entries_ = store_.List();
    table_->setRowCount(static_cast<int>(entries_.size()));
    for (int row = 0; row < static_cast<int>(entries_.size()); ++row) {
        const auto& e = entries_[static_cast<std::size_t>(row)];
        const bool damaged = !e.error.empty();
        auto* date = new QTableWidgetItem(QString::fromStdString(e.created));
        auto* note = new QTableWidgetItem(QString::fromStdString(damaged ? e.error : e.note));
        auto* path = new QTableWidgetItem(QString::fromStdString(e.path.filename().string()));
        path->setToolTip(QString::fromStdString(e.path.string()));
        if (damaged) note->setForeground(QColor(200, 0, 0));
        table_->setItem(row, 0, date);
        table_->setItem(row, 1, note);
        table_->setItem(row, 2, path);
    }
    table_->resizeColumnToContents(0);
    table_->setColumnWidth(1, 380);
    if (!entries_.empty()) table_->selectRow(0);
}

int RestorePointsDialog::Rows() const { return table_->rowCount(); }

std::optional<std::filesystem::path> RestorePointsDialog::Chosen() const {
    const int row = table_->currentRow();
    if (row < 0 || row >= static_cast<int>(entries_.size())) return std::nullopt;
    return entries_[static_cast<std::size_t>(row)].path;
}

}  // namespace tovrel::ui
