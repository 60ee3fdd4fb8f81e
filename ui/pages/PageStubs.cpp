// Empty pages until their builders land.
#include "Pages.h"

namespace tovrel::ui {

void BuildMapChartPage(UiContext&, QWidget*, MapKind) {}
void BuildMapGridPage(UiContext&, QWidget*, MapKind) {}
void Build3DPage(UiContext&, QWidget*, bool) {}

}  // namespace tovrel::ui
