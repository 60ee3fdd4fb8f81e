// The help page: a quick-start text that nothing changes.
#include <QFont>
#include <QPlainTextEdit>

#include "Pages.h"
#include "QtTexts.h"

namespace tovrel::ui {

void BuildHelpPage(UiContext& ctx, QWidget* page) {
    (void)ctx;
    auto* memo = new QPlainTextEdit(page);
    memo->setObjectName("Memo1");
    memo->setGeometry(0, 0, 1087, 489);
    QFont font = memo->font();
    font.setPixelSize(17);
    memo->setFont(font);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setPlainText(QTr(UiText::HelpText));
}

}  // namespace tovrel::ui
