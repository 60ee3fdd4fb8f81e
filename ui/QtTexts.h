#pragma once
// The texts of the catalogues as the widgets take them (see link/Texts.h).
#include <QString>

#include "Texts.h"
#include "UiTexts.h"

namespace tovrel::ui {

template <class Id>
QString QTr(Id id) {
    return QString::fromStdString(Tr(id));
}

}  // namespace tovrel::ui
