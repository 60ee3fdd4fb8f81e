// Empty pages until their builders land.
#include "Pages.h"

namespace tovrel::ui {

void BuildSettingsPage(UiContext&, QWidget*) {}
void BuildMapChartPage(UiContext&, QWidget*, MapKind) {}
void BuildMapGridPage(UiContext&, QWidget*, MapKind) {}
void Build3DPage(UiContext&, QWidget*, bool) {}
void BuildFirmwarePage(UiContext&, QWidget*) {}
void BuildOscilloscopePage(UiContext&, QWidget*) {}
void BuildThrottlePage(UiContext&, QWidget*) {}

}  // namespace tovrel::ui
