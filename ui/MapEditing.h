#pragma once
// The editing tools of the map pages: one selection of points per map that
// its chart and grid share, the operations on it from the keyboard, the
// context menus and the "Правка" menu, the clipboard, the undo history and
// the per-map state against the variator in the status bar.
//
// Threads. The window keeps the selections, the menus and the QUndoStack;
// the maps stay on the device thread. An operation is posted there, computed
// from the document (MapOperations) and applied through it; after every call
// the device thread takes what changed from the map history and sends it
// here as one undoable step (EditingDeviceSide::AfterCall). Undo and redo
// post the recorded values back as an Apply with the cause Undo, so every
// view redraws through the document's listeners as for any other change.
#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "Calculations.h"
#include "EditTexts.h"
#include "MapHistory.h"
#include "MapOperations.h"
#include "MapSync.h"

class QAction;
class QKeyEvent;
class QLabel;
class QMainWindow;
class QMenu;
class QTabWidget;
class QUndoStack;
class QUndoView;

namespace tovrel {
class Program;
}

namespace tovrel::ui {

class MapChart;
class MapGrid;
class UiContext;

// What the device thread tells the window after a call.
struct EditRecord {
    std::optional<MapStep> step;
    QString label;                    // the step's name in the history
    int merge = -1;                   // steps of the same kind of repeat merge (-1: never)
    std::vector<int> merge_points;    // ... on the same selection
    bool clean = false;               // a read, write or commit: the editor agrees with the variator
    std::optional<std::array<MapSyncState, 4>> sync;  // when it changed
    QString status;                   // for the status bar
    std::optional<MapKind> limited_kind;
    std::vector<int> limited;         // the points an operation held to the range
};

// Lives with the Program on the device thread and is touched only there.
class EditingDeviceSide {
public:
    // An operation (or paste) just applied: how its step is to be named and
    // merged, and what the status bar says.
    void NoteOperation(QString label, int merge, std::vector<int> points, QString status, MapKind kind,
                       std::vector<int> limited);
    void NoteStatus(QString status);
    // After each call from the window: what changed, if anything.
    std::optional<EditRecord> AfterCall(Program& program);

private:
    std::optional<EditRecord> noted_;
    int generation_ = 0;
    std::optional<std::array<MapSyncState, 4>> sync_;
};

class MapEditing : public QObject {
    Q_OBJECT
public:
    enum class Action {
        Set, StepUp, StepDown, TenUp, TenDown, Scale, Interpolate, Smooth, Revert,
        SelectAll, Copy, Paste, Undo, Redo, History,
    };

    MapEditing(UiContext& ctx, QMainWindow& window, QTabWidget* pages);

    QMenu* Menu() const { return menu_; }
    // After a change of language: the maps' state is put together from
    // several texts, so it is written anew rather than looked up whole.
    void Retranslate() { ShowSync(); }
    QUndoStack* Stack() const { return stack_; }
    QAction* ActionOf(Action a) const { return actions_[static_cast<std::size_t>(a)]; }
    QLabel* SyncLabel() const { return sync_label_; }

    // GUI thread: what the device thread recorded.
    void Receive(const EditRecord& record);

    // The shared selection of a map, in point order.
    const std::vector<int>& Selection(MapKind kind) const { return selection_[Index(kind)]; }
    void Select(MapKind kind, std::vector<int> points, int anchor = -1);

    // Runs an action on the map of the current page (a chart or a grid).
    void Trigger(Action action);
    // The values given, without a dialog (tests, the dialogs' answers).
    void RunOperation(MapKind kind, MapOperation op, double argument, QString label, int merge = -1);

    // The maps whose editor values the variator's working memory does not
    // hold (and, with `with_eeprom`, whose working memory EEPROM does not),
    // by their short names.
    QStringList UnsavedMaps(bool with_eeprom) const;
    // Asks `question` (naming the maps) when some map is unsaved; true when
    // nothing is unsaved or the user said "Да". "Нет" is the default.
    bool AskUnsaved(EditText question, bool with_eeprom);

    // The map of the current page; nothing on other pages.
    std::optional<MapKind> CurrentMap() const;
    bool CurrentIsChart() const;

private:
    static std::size_t Index(MapKind kind) { return static_cast<std::size_t>(MapKindIndex(kind)); }
    void BuildActions();
    void Hook(MapKind kind);
    bool EditKey(MapKind kind, QKeyEvent* event, bool on_grid);
    void ContextMenu(MapKind kind, QPoint global);
    void Copy(MapKind kind, bool grid_shape);
    void Paste(MapKind kind, bool onto_chart);
    void Undo();
    void Redo();
    bool Busy() const;
    void Status(const QString& text);
    void ShowSync();

    UiContext& ctx_;
    QMainWindow& window_;
    QTabWidget* pages_;
    QMenu* menu_ = nullptr;
    QUndoStack* stack_ = nullptr;
    QPointer<QUndoView> history_;
    QLabel* sync_label_ = nullptr;
    std::array<QAction*, 15> actions_{};
    std::array<MapChart*, 4> charts_{};
    std::array<MapGrid*, 4> grids_{};
    std::array<std::vector<int>, 4> selection_{};
    std::array<int, 4> anchor_{};
    std::array<MapSyncState, 4> sync_{};
};

// The short name of a map ("УОЗ газ", ...).
QString MapShortName(MapKind kind);

}  // namespace tovrel::ui
