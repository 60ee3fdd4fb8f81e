#pragma once
// Restore points and the backup before a firmware update, as the program
// runs them: what the editor holds as a Configuration, a point saved before
// a commit, a file load or a restore, the backup read before the update
// switches the variator, the compare after it and the restore itself
// (write, commit, read back and compare).
#include <filesystem>
#include <string_view>

#include "ConfigurationCompare.h"
#include "RestoreTexts.h"

namespace tovrel {

class Program;


// The maps in the editor, the start timeout's field and the throttle points'
// labels (when they hold numbers).
Configuration EditorConfiguration(const Program& program);
// What the variator's EEPROM holds as far as the program knows: the maps as
// read or committed, the start timeout and the throttle ends as shown.
// Nothing while a map's EEPROM contents are unknown (not read in this run).
std::optional<Configuration> StoredConfiguration(const Program& program);

// Lines for the user: one per map that differs (points, largest and mean
// difference), one per parameter; "Отличий нет." when equal.
std::string DifferenceSummary(const ConfigurationDiff& diff);

// Saves `configuration` as a restore point with `note`; true when saved, or
// when the program makes none. Otherwise shows why, followed by `stopped`
// (what did not happen for that), and returns false.
bool SaveRestorePoint(Program& program, const Configuration& configuration, std::string_view note,
                      RestoreText stopped);

// The firmware update's hooks (Program wires them).
bool BackupBeforeUpdate(Program& program);
void AfterUpdate(Program& program);

// Puts `target` into the editor (a restore point of the editor first), writes
// and commits it, reads the device back and compares. True when the device
// then holds `target`; says so, or what still differs. `source` names the
// backup or point in the messages.
bool RestoreConfiguration(Program& program, const Configuration& target, std::string_view source);

// The same from a restore point's file; a point that is damaged or not this
// program's is refused with the file and the reason, and nothing is sent.
bool RestoreFromPoint(Program& program, const std::filesystem::path& file);

// ---- compare ----
// The series that draws the other side's map on a map's chart, dashed: the
// chart's own series name followed by "Compare". An empty series ends it.
std::string CompareSeriesName(MapKind kind);
// Draws `theirs` beside the editor's maps on every chart.
void DrawComparison(Program& program, const Configuration& theirs);
// Draws `theirs` beside the editor's maps, shows the summary per map and
// parameter, then offers to take theirs for each map and parameter that
// differs ("Нет" by default). `source` names the other side.
void CompareWithEditor(Program& program, const Configuration& theirs, std::string_view source);
// The other side from a file dialog, a fresh read of the variator, or a
// restore point (refused with the file and the reason when damaged).
void CompareEditorWithFile(Program& program);
void CompareEditorWithDevice(Program& program);
void CompareEditorWithPoint(Program& program, const std::filesystem::path& file);
// A restore point against a fresh read of the variator: the summary only.
void ComparePointWithDevice(Program& program, const std::filesystem::path& file);
// Removes the other side's series from the charts.
void EndComparison(Program& program);
// Asks, then restores the point (RestoreFromPoint).
void RestorePointClick(Program& program, const std::filesystem::path& file);

// Hooks the restore points into the program's commits and file loads.
void WireRestorePoints(Program& program);

}  // namespace tovrel
