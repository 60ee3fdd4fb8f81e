#pragma once
// Builders of the pages of PageControl1. Each fills the page widget it gets
// (already named after its tab sheet) with the controls of its page, every
// control named (objectName) and placed as the window description has it,
// and connects their events through UiContext::Forward.
#include <QTabWidget>
#include <QWidget>

#include "Calculations.h"
#include "UiContext.h"

namespace tovrel::ui {

// Page 0 "Настройки вариатора": device options, start timeout, the real-time
// monitor with its gauges and labels, map write buttons.
void BuildSettingsPage(UiContext& ctx, QWidget* page);
// Pages 1, 3, 5, 7: a map's chart with its check boxes.
void BuildMapChartPage(UiContext& ctx, QWidget* page, MapKind kind);
// Pages 2, 4, 6, 8: a map's string grid.
void BuildMapGridPage(UiContext& ctx, QWidget* page, MapKind kind);
// Pages 9 and 10: the 3D views.
void Build3DPage(UiContext& ctx, QWidget* page, bool petrol);
// Page 11: the firmware update.
void BuildFirmwarePage(UiContext& ctx, QWidget* page);
// Page 12: the help memo.
void BuildHelpPage(UiContext& ctx, QWidget* page);
// Page 13: the oscilloscope with its picture; sets ctx.oscillogram_canvas.
void BuildOscilloscopePage(UiContext& ctx, QWidget* page);
// Page 14: the throttle sensor calibration.
void BuildThrottlePage(UiContext& ctx, QWidget* page);

// Every page change of `pages` redraws the map views from the maps
// (PageControl1Change), so that a grid commit shows on the charts and the
// 3D views of the page the user turns to. Skipped while a map transfer
// runs: the transfer draws the maps it fills itself.
void ConnectPageChange(UiContext& ctx, QTabWidget* pages);

}  // namespace tovrel::ui
