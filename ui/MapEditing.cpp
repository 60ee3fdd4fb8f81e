#include "MapEditing.h"

#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QUndoStack>
#include <QUndoView>
#include <algorithm>
#include <numeric>

#include "DeviceThread.h"
#include "MapChart.h"
#include "MapClipboard.h"
#include "MapControls.h"
#include "MapEditor.h"
#include "MapGrid.h"
#include "Program.h"
#include "QtTexts.h"
#include "UiContext.h"

namespace tovrel::ui {

namespace {

constexpr int kMergeKeySteps = 1;    // + and - on the same selection
constexpr int kMergeArrowKeys = 2;   // the chart's arrow keys on the same points
constexpr int kStatusMilliseconds = 10000;

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString PartNames(const MapStep& step) {
    QStringList names;
    for (const auto& part : step.parts) names << MapShortName(part.kind);
    return names.join(", ");
}

QString CauseLabel(const MapStep& step) {
    switch (step.cause) {
        case MapEditCause::Key: return QTr(EditText::StepArrowKeys).arg(PartNames(step));
        case MapEditCause::GridCommit: return QTr(EditText::StepGridCommit).arg(PartNames(step));
        case MapEditCause::Template: return QTr(EditText::StepTemplate);
        case MapEditCause::DeviceRead: return QTr(EditText::StepDeviceRead);
        case MapEditCause::FileLoad: return QTr(EditText::StepFileLoad);
        case MapEditCause::EditOperation: return QTr(EditText::StepPaste) + ": " + PartNames(step);
        case MapEditCause::Replace:
        case MapEditCause::Undo: break;
    }
    return QTr(EditText::StepReplace);
}

QString PointList(const std::vector<int>& points) {
    QStringList numbers;
    for (int p : points) numbers << QString::number(p + 1);
    return numbers.join(", ");
}

bool SameShape(const MapStep& a, const MapStep& b) {
    if (a.parts.size() != b.parts.size()) return false;
    for (std::size_t i = 0; i < a.parts.size(); ++i)
        if (a.parts[i].kind != b.parts[i].kind || a.parts[i].first != b.parts[i].first ||
            a.parts[i].after.size() != b.parts[i].after.size())
            return false;
    return true;
}

// One recorded step. It was done when it is pushed: its first redo does
// nothing; later ones, and every undo, put the recorded values back through
// the document on the device thread.
class StepCommand : public QUndoCommand {
public:
    StepCommand(DeviceThread& device, MapStep step, const QString& label, int merge, std::vector<int> points)
        : QUndoCommand(label), device_(device), step_(std::move(step)), merge_(merge), points_(std::move(points)) {}

    void undo() override { Post(true); }
    void redo() override {
        if (fresh_) {
            fresh_ = false;
            return;
        }
        Post(false);
    }
    int id() const override { return merge_; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* o = static_cast<const StepCommand*>(other);
        if (o->points_ != points_ || !SameShape(step_, o->step_)) return false;
        for (std::size_t i = 0; i < step_.parts.size(); ++i) step_.parts[i].after = o->step_.parts[i].after;
        return true;
    }

private:
    void Post(bool undo) {
        device_.Post([step = step_, undo](Program& p) {
            // The window refuses undo while a procedure holds the line; a
            // transfer started from the queue meanwhile keeps the maps.
            if (p.maps.TransfersRunning == 0) ApplyStep(p.maps.document, step, undo);
        });
    }
    DeviceThread& device_;
    MapStep step_;
    int merge_;
    std::vector<int> points_;
    bool fresh_ = true;
};

}  // namespace

QString MapShortName(MapKind kind) {
    static constexpr EditText names[4] = {EditText::MapLPG, EditText::MapPetrol, EditText::MapLPGLoad,
                                          EditText::MapPetrolLoad};
    const int i = MapKindIndex(kind);
    return i >= 0 && i < 4 ? QTr(names[i]) : QString();
}

// ---- device thread ----

void EditingDeviceSide::NoteOperation(QString label, int merge, std::vector<int> points, QString status,
                                      MapKind kind, std::vector<int> limited) {
    EditRecord r;
    r.label = std::move(label);
    r.merge = merge;
    r.merge_points = std::move(points);
    r.status = std::move(status);
    r.limited_kind = kind;
    r.limited = std::move(limited);
    noted_ = std::move(r);
}

void EditingDeviceSide::NoteStatus(QString status) {
    if (!noted_) noted_.emplace();
    noted_->status = std::move(status);
}

std::optional<EditRecord> EditingDeviceSide::AfterCall(Program& p) {
    EditRecord r = noted_ ? std::move(*noted_) : EditRecord{};
    bool any = noted_.has_value();
    noted_.reset();
    if (auto step = p.maps.history.Take()) {
        if (r.label.isEmpty()) r.label = CauseLabel(*step);
        if (step->cause == MapEditCause::Key && r.merge < 0) r.merge = kMergeArrowKeys;
        r.step = std::move(step);
        any = true;
    } else {
        r.merge = -1;
    }
    p.maps.device.NoteCommits(p.link.CommitsConfirmed);
    if (p.maps.device.Generation() != generation_) {
        generation_ = p.maps.device.Generation();
        r.clean = true;
        any = true;
    }
    std::array<MapSyncState, 4> now{};
    for (int m = 0; m < 4; ++m)
        now[static_cast<std::size_t>(m)] = p.maps.device.State(kMapKinds[static_cast<std::size_t>(m)],
                                                                p.maps.document.Maps()[m]);
    if (!sync_ || *sync_ != now) {
        sync_ = now;
        r.sync = now;
        any = true;
    }
    if (!any) return std::nullopt;
    return r;
}

// ---- GUI thread ----

MapEditing::MapEditing(UiContext& ctx, QMainWindow& window, QTabWidget* pages)
    : QObject(&window), ctx_(ctx), window_(window), pages_(pages) {
    stack_ = new QUndoStack(this);
    stack_->setObjectName("MapUndoStack");
    sync_label_ = new QLabel(&window);
    sync_label_->setObjectName("MapSyncLabel");
    BuildActions();
    for (MapKind kind : kMapKinds) Hook(kind);
    ShowSync();
}

void MapEditing::BuildActions() {
    menu_ = new QMenu(QTr(EditText::EditMenu), &window_);
    menu_->setObjectName("EditMenu");
    struct Item {
        Action action;
        EditText text;
        QList<QKeySequence> keys;
        const char* name;
    };
    const Item items[] = {
        {Action::Undo, EditText::Undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)}, "EditUndo"},
        {Action::Redo, EditText::Redo,
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, "EditRedo"},
        {Action::History, EditText::History, {}, "EditHistory"},
        {Action::SelectAll, EditText::SelectAll, {QKeySequence(Qt::CTRL | Qt::Key_A)}, "EditSelectAll"},
        {Action::Copy, EditText::Copy, {QKeySequence(Qt::CTRL | Qt::Key_C)}, "EditCopy"},
        {Action::Paste, EditText::Paste, {QKeySequence(Qt::CTRL | Qt::Key_V)}, "EditPaste"},
        {Action::Set, EditText::SetValue, {QKeySequence(Qt::Key_Equal)}, "EditSet"},
        {Action::StepUp, EditText::StepUp, {QKeySequence(Qt::Key_Plus)}, "EditStepUp"},
        {Action::StepDown, EditText::StepDown, {QKeySequence(Qt::Key_Minus)}, "EditStepDown"},
        {Action::TenUp, EditText::TenStepsUp, {QKeySequence(Qt::SHIFT | Qt::Key_Plus)}, "EditTenUp"},
        {Action::TenDown, EditText::TenStepsDown, {QKeySequence(Qt::SHIFT | Qt::Key_Minus)}, "EditTenDown"},
        {Action::Scale, EditText::Scale, {QKeySequence(Qt::Key_Asterisk)}, "EditScale"},
        {Action::Interpolate, EditText::Interpolate, {QKeySequence(Qt::Key_Slash)}, "EditInterpolate"},
        {Action::Smooth, EditText::Smooth, {QKeySequence(Qt::Key_S)}, "EditSmooth"},
        {Action::Revert, EditText::Revert, {QKeySequence(Qt::CTRL | Qt::Key_Backspace)}, "EditRevert"},
    };
    for (const auto& item : items) {
        auto* a = new QAction(QTr(item.text), &window_);
        a->setObjectName(item.name);
        a->setShortcuts(item.keys);
        const bool window_wide = item.action == Action::Undo || item.action == Action::Redo;
        // Undo and redo act anywhere in the window; the other keys belong to
        // the chart or grid that has the focus (which handles them itself),
        // and the menu only shows them.
        a->setShortcutContext(window_wide ? Qt::WindowShortcut : Qt::WidgetShortcut);
        a->setShortcutVisibleInContextMenu(true);
        if (window_wide) window_.addAction(a);
        connect(a, &QAction::triggered, this, [this, action = item.action] { Trigger(action); });
        actions_[static_cast<std::size_t>(item.action)] = a;
        menu_->addAction(a);
        if (item.action == Action::History || item.action == Action::Paste) menu_->addSeparator();
    }
    connect(stack_, &QUndoStack::canUndoChanged, ActionOf(Action::Undo), &QAction::setEnabled);
    connect(stack_, &QUndoStack::canRedoChanged, ActionOf(Action::Redo), &QAction::setEnabled);
    ActionOf(Action::Undo)->setEnabled(false);
    ActionOf(Action::Redo)->setEnabled(false);
}

void MapEditing::Hook(MapKind kind) {
    const auto* c = FindMapControls(kind);
    if (!c) return;
    const std::size_t i = Index(kind);
    auto* chart = window_.findChild<MapChart*>(Q(c->chart));
    auto* grid = window_.findChild<MapGrid*>(Q(c->grid));
    charts_[i] = chart;
    grids_[i] = grid;
    if (chart) {
        chart->on_select_point = [this, kind, i](int point, bool extend) {
            if (extend && !selection_[i].empty()) {
                std::vector<int> points(static_cast<std::size_t>(std::abs(point - anchor_[i]) + 1));
                std::iota(points.begin(), points.end(), std::min(point, anchor_[i]));
                Select(kind, points, anchor_[i]);
            } else {
                Select(kind, {point}, point);
            }
        };
        chart->on_band = [this, kind, i](const std::vector<int>& points, bool extend) {
            std::vector<int> all = points;
            if (extend) all.insert(all.end(), selection_[i].begin(), selection_[i].end());
            Select(kind, all, points.empty() ? anchor_[i] : points.front());
        };
        chart->on_edit_key = [this, kind](QKeyEvent* e) { return EditKey(kind, e, false); };
        chart->on_context_menu = [this, kind](QPoint global) { ContextMenu(kind, global); };
    }
    if (grid) {
        grid->on_selection = [this, kind, i, grid](const std::vector<int>& points) {
            const QModelIndex current = grid->currentIndex();
            const int at = current.isValid() ? (current.column() - 1) * 10 + (current.row() - 1) : -1;
            const bool inside = std::find(points.begin(), points.end(), at) != points.end();
            selection_[i] = points;
            anchor_[i] = inside ? at : (points.empty() ? 0 : points.front());
            if (charts_[i]) charts_[i]->SetSelection(points);
            (void)kind;
        };
        grid->on_edit_key = [this, kind](QKeyEvent* e) { return EditKey(kind, e, true); };
        grid->on_context_menu = [this, kind](QPoint global) { ContextMenu(kind, global); };
    }
}

void MapEditing::Select(MapKind kind, std::vector<int> points, int anchor) {
    std::erase_if(points, [](int p) { return p < 0 || p >= MapPointCount; });
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    const std::size_t i = Index(kind);
    if (i >= 4) return;
    selection_[i] = points;
    anchor_[i] = anchor >= 0 ? anchor : (points.empty() ? 0 : points.front());
    if (charts_[i]) charts_[i]->SetSelection(points);
    if (grids_[i]) grids_[i]->SetSelectedPoints(points);
}

std::optional<MapKind> MapEditing::CurrentMap() const {
    const int page = pages_ ? pages_->currentIndex() : -1;
    for (MapKind kind : kMapKinds) {
        const auto* c = FindMapControls(kind);
        if (c && (c->chart_page == page || c->grid_page == page)) return kind;
    }
    return std::nullopt;
}

bool MapEditing::CurrentIsChart() const {
    const auto kind = CurrentMap();
    return kind && FindMapControls(*kind)->chart_page == pages_->currentIndex();
}

bool MapEditing::EditKey(MapKind kind, QKeyEvent* e, bool on_grid) {
    const auto mods = e->modifiers();
    const std::size_t i = Index(kind);
    if (e->matches(QKeySequence::Copy)) {
        Copy(kind, on_grid);
        return true;
    }
    if (e->matches(QKeySequence::Paste)) {
        Paste(kind, !on_grid);
        return true;
    }
    if (!on_grid && e->matches(QKeySequence::SelectAll)) {
        std::vector<int> all(MapPointCount);
        std::iota(all.begin(), all.end(), 0);
        Select(kind, all, 0);
        return true;
    }
    std::optional<Action> action;
    if (e->key() == Qt::Key_Backspace && (mods & Qt::ControlModifier)) action = Action::Revert;
    if (!action && (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) return false;
    // On a grid with one cell selected, + and - begin a typed number as they
    // always did; over several cells they step them.
    const bool several = !on_grid || selection_[i].size() > 1;
    const bool ten = (mods & Qt::ShiftModifier) && (mods & Qt::KeypadModifier);
    if (!action) {
        switch (e->key()) {
            case Qt::Key_Equal: action = Action::Set; break;
            case Qt::Key_Plus:
                if (several) action = ten ? Action::TenUp : Action::StepUp;
                break;
            case Qt::Key_Minus:
                if (several) action = ten ? Action::TenDown : Action::StepDown;
                break;
            case Qt::Key_Underscore:  // Shift and - on the main keys
                if (several) action = Action::TenDown;
                break;
            case Qt::Key_Asterisk: action = Action::Scale; break;
            case Qt::Key_Slash: action = Action::Interpolate; break;
            case Qt::Key_S:
            case 0x42B:  // the same key in the Russian layout (Ы)
                action = Action::Smooth;
                break;
            default: break;
        }
    }
    if (!action) return false;
    if (pages_) {
        // The key acts on the map of the widget it was pressed in, which is
        // the page shown.
        const auto* c = FindMapControls(kind);
        if (c && pages_->currentIndex() != c->chart_page && pages_->currentIndex() != c->grid_page)
            pages_->setCurrentIndex(on_grid ? c->grid_page : c->chart_page);
    }
    Trigger(*action);
    return true;
}

void MapEditing::ContextMenu(MapKind, QPoint global) {
    QMenu menu(&window_);
    menu.setObjectName("EditContextMenu");
    for (QAction* a : menu_->actions()) menu.addAction(a);
    menu.exec(global);
}

void MapEditing::Trigger(Action action) {
    switch (action) {
        case Action::Undo: Undo(); return;
        case Action::Redo: Redo(); return;
        case Action::History: {
            if (!history_) {
                history_ = new QUndoView(stack_, &window_);
                history_->setObjectName("EditHistoryView");
                history_->setWindowFlag(Qt::Tool);
                history_->setWindowTitle(QTr(EditText::HistoryTitle));
                history_->setEmptyLabel(QTr(EditText::HistoryClean));
                history_->resize(360, 420);
            }
            history_->show();
            history_->raise();
            return;
        }
        default: break;
    }
    const auto kind = CurrentMap();
    if (!kind) {
        Status(QTr(EditText::NotAMapPage));
        return;
    }
    const auto* c = FindMapControls(*kind);
    const std::size_t i = Index(*kind);
    const QString name = MapShortName(*kind);
    const auto label = [&](EditText text) { return QTr(text).remove("...") + ": " + name; };
    switch (action) {
        case Action::SelectAll: {
            std::vector<int> all(MapPointCount);
            std::iota(all.begin(), all.end(), 0);
            Select(*kind, all, 0);
            return;
        }
        case Action::Copy: Copy(*kind, !CurrentIsChart()); return;
        case Action::Paste: Paste(*kind, CurrentIsChart()); return;
        default: break;
    }
    if (selection_[i].empty()) {
        Status(QTr(EditText::NoSelection));
        return;
    }
    const double lo = MapMinimum(*kind), hi = MapMaximum(*kind);
    const int decimals = IsAdvanceMap(*kind) ? 2 : 0;
    switch (action) {
        case Action::Set: {
            double mean = 0;
            if (charts_[i]) {
                for (int p : selection_[i]) mean += charts_[i]->PointY(p);
                mean /= static_cast<double>(selection_[i].size());
            }
            bool ok = false;
            const double v = QInputDialog::getDouble(
                &window_, QTr(EditText::SetValueTitle), QTr(EditText::SetValuePrompt).arg(lo).arg(hi),
                std::clamp(RoundToDevice(*kind, mean), lo, hi), lo, hi, decimals, &ok);
            if (ok) RunOperation(*kind, MapOperation::Set, v, label(EditText::SetValue));
            return;
        }
        case Action::StepUp:
        case Action::StepDown:
        case Action::TenUp:
        case Action::TenDown: {
            const bool up = action == Action::StepUp || action == Action::TenUp;
            const bool ten = action == Action::TenUp || action == Action::TenDown;
            const EditText text = ten ? (up ? EditText::TenStepsUp : EditText::TenStepsDown)
                                      : (up ? EditText::StepUp : EditText::StepDown);
            RunOperation(*kind, MapOperation::Step, (up ? 1 : -1) * c->small_step * (ten ? 10 : 1), label(text),
                         kMergeKeySteps);
            return;
        }
        case Action::Scale: {
            bool ok = false;
            const double v = QInputDialog::getDouble(&window_, QTr(EditText::ScaleTitle), QTr(EditText::ScalePrompt),
                                                     100, -1000, 1000, 1, &ok);
            if (ok) RunOperation(*kind, MapOperation::Scale, v, label(EditText::Scale));
            return;
        }
        case Action::Interpolate: RunOperation(*kind, MapOperation::Interpolate, 0, label(EditText::Interpolate)); return;
        case Action::Smooth: RunOperation(*kind, MapOperation::Smooth, 0, label(EditText::Smooth)); return;
        case Action::Revert: RunOperation(*kind, MapOperation::Revert, 0, label(EditText::Revert)); return;
        default: return;
    }
}

void MapEditing::RunOperation(MapKind kind, MapOperation op, double argument, QString label, int merge) {
    if (Busy()) {
        Status(QTr(EditText::Refused).arg(QTr(EditText::BusyLine)));
        return;
    }
    const auto points = selection_[Index(kind)];
    if (points.empty()) {
        Status(QTr(EditText::NoSelection));
        return;
    }
    auto side = ctx_.editing;
    if (!side) return;
    ctx_.device().Post([side, kind, op, argument, points, label, merge](Program& p) {
        // A transfer fills or sends the maps point by point: an edit in the
        // middle would part the editor from the variator.
        if (p.maps.TransfersRunning > 0) {
            side->NoteStatus(QTr(EditText::Refused).arg(QTr(EditText::BusyLine)));
            return;
        }
        const auto r = ComputeOperation(kind, p.maps.document.Map(kind), points, op, argument,
                                        p.maps.device.LastRead(kind));
        if (r.refused) {
            side->NoteStatus(QTr(EditText::Refused).arg(QTr(EditText::NothingRead)));
            return;
        }
        ApplyPointValues(p.maps.document, kind, r.points, r.values, MapEditCause::EditOperation);
        QString status = label;
        if (!r.limited.empty())
            status = QTr(EditText::Limited)
                         .arg(label)
                         .arg(MapMinimum(kind))
                         .arg(MapMaximum(kind))
                         .arg(PointList(r.limited));
        side->NoteOperation(label, merge, r.points, status, kind, r.limited);
    });
}

void MapEditing::Copy(MapKind kind, bool grid_shape) {
    const auto points = selection_[Index(kind)];
    if (points.empty()) {
        Status(QTr(EditText::NoSelection));
        return;
    }
    // The values come from the document: a committed cell's chart catches
    // up only at the next page change.
    ctx_.device().Post([this, kind, points, grid_shape](Program& p) {
        const MapValues y = p.maps.document.Map(kind).y;
        QMetaObject::invokeMethod(this, [this, kind, points, grid_shape, y] {
            QApplication::clipboard()->setText(grid_shape ? CopyGridBlock(y, points) : CopyChartRows(kind, y, points));
            Status(QTr(EditText::Copied).arg(points.size()));
        }, Qt::QueuedConnection);
    });
}

void MapEditing::Paste(MapKind kind, bool onto_chart) {
    const auto& sel = selection_[Index(kind)];
    const int anchor = sel.empty() ? 0 : sel.front();
    const PastePlan plan = PlanPaste(kind, QApplication::clipboard()->text(), anchor, onto_chart);
    if (!plan.error.isEmpty()) {
        Status(plan.error);
        return;
    }
    if (Busy()) {
        Status(QTr(EditText::Refused).arg(QTr(EditText::BusyLine)));
        return;
    }
    auto side = ctx_.editing;
    if (!side) return;
    const QString label = QTr(EditText::StepPaste) + ": " + MapShortName(kind);
    const QString status = QTr(EditText::Pasted).arg(plan.points.size());
    ctx_.device().Post([side, kind, plan, label, status](Program& p) {
        if (p.maps.TransfersRunning > 0) {
            side->NoteStatus(QTr(EditText::Refused).arg(QTr(EditText::BusyLine)));
            return;
        }
        ApplyPointValues(p.maps.document, kind, plan.points, plan.values, MapEditCause::EditOperation);
        side->NoteOperation(label, -1, plan.points, status, kind, {});
    });
    Select(kind, plan.points, plan.points.empty() ? anchor : plan.points.front());
}

bool MapEditing::Busy() const { return ctx_.session && ctx_.session->Current().busy; }

void MapEditing::Undo() {
    if (!stack_->canUndo()) return;
    if (Busy()) {
        Status(QTr(EditText::Refused).arg(QTr(EditText::BusyLine)));
        return;
    }
    const QString text = stack_->undoText();
    stack_->undo();
    Status(QTr(EditText::Undo) + ": " + text);
}

void MapEditing::Redo() {
    if (!stack_->canRedo()) return;
    if (Busy()) {
        Status(QTr(EditText::Refused).arg(QTr(EditText::BusyLine)));
        return;
    }
    const QString text = stack_->redoText();
    stack_->redo();
    Status(QTr(EditText::Redo) + ": " + text);
}

void MapEditing::Receive(const EditRecord& r) {
    if (r.step) stack_->push(new StepCommand(ctx_.device(), *r.step, r.label, r.merge, r.merge_points));
    if (r.clean) stack_->setClean();
    if (r.sync) {
        sync_ = *r.sync;
        ShowSync();
    }
    if (!r.status.isEmpty()) Status(r.status);
    if (r.limited_kind) {
        const std::size_t i = Index(*r.limited_kind);
        if (charts_[i]) charts_[i]->SetLimited(r.limited);
        if (grids_[i]) grids_[i]->SetLimited(r.limited);
    }
}

void MapEditing::Status(const QString& text) { window_.statusBar()->showMessage(text, kStatusMilliseconds); }

void MapEditing::ShowSync() {
    QStringList parts;
    for (MapKind kind : kMapKinds) {
        const auto& s = sync_[Index(kind)];
        EditText text = EditText::SyncUnknown;
        if (s.device_known && s.editor_differs && s.eeprom_differs)
            text = EditText::SyncNeither;
        else if (s.device_known && s.editor_differs)
            text = EditText::SyncNotWritten;
        else if (s.eeprom_differs)
            text = EditText::SyncNotCommitted;
        else if (s.device_known)
            text = EditText::SyncSame;
        parts << QTr(text).arg(MapShortName(kind));
    }
    sync_label_->setText(parts.join("   "));
}

QStringList MapEditing::UnsavedMaps(bool with_eeprom) const {
    QStringList names;
    for (MapKind kind : kMapKinds) {
        const auto& s = sync_[Index(kind)];
        if ((s.device_known && s.editor_differs) || (with_eeprom && s.eeprom_differs)) names << MapShortName(kind);
    }
    return names;
}

bool MapEditing::AskUnsaved(EditText question, bool with_eeprom) {
    const QStringList names = UnsavedMaps(with_eeprom);
    if (names.isEmpty()) return true;
    QMessageBox box(QMessageBox::Question, QString("Message"), QTr(question).arg(names.join(", ")),
                    QMessageBox::Yes | QMessageBox::No, &window_);
    box.setObjectName("UnsavedMapsBox");
    box.button(QMessageBox::Yes)->setText(QTr(UiText::ConfirmYes));
    box.button(QMessageBox::No)->setText(QTr(UiText::ConfirmNo));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace tovrel::ui
