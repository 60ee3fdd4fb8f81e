// Page 13 "Запись осциллограмм": the capture button, the recording mode, the
// status line, the instructions and the oscillogram picture in its
// horizontally scrolling box. The picture is the canvas the logic draws on.
#include <QCheckBox>
#include <QFont>
#include <QGuiApplication>
#include <QPushButton>
#include <QStyleHints>
#include <QPlainTextEdit>

#include "OscillogramPicture.h"
#include "PageWidgets.h"
#include "Pages.h"
#include "Program.h"

namespace tovrel::ui {

namespace {
QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace

void BuildOscilloscopePage(UiContext& ctx, QWidget* page) {
    auto* status = AddLabel(page, "Oscill_Label", {}, 8, 4, 1076, 18);
    QFont bold = status->font();
    bold.setBold(true);
    status->setFont(bold);
    StartText(status, QString::fromStdString(TrFormat(OscilloscopeText::ModeLabel, std::string(38, '_'))));

    auto* box = new OscillScrollBox(page);
    box->setObjectName("OscillScrollBox");
    box->setGeometry(0, 26, 1092, 446);
    auto* picture = new OscillogramPicture(kOscillImageWidth, kOscillImageHeight);
    picture->setObjectName("Oscill_Image");
    box->setWidget(picture);
    ctx.oscillogram_canvas = picture;

    // The instructions lie over the picture; a capture hides them, and they
    // come back after one that recorded nothing.
    auto* memo = new QPlainTextEdit(page);
    memo->setObjectName("Oscill_Memo");
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setGeometry(8, 30, 1076, 420);
    QString text;
    for (const auto& line : OscillMemoLines()) {
        if (!text.isEmpty()) text += QLatin1Char('\n');
        text += QString::fromStdString(line);
    }
    StartText(memo, text);

    auto* capture = AddButton(page, "ConnectAndShowOsciillButton", {}, 8, 480, 420, 25);
    StartText(capture, Q(Tr(oscill_text::ButtonCaption)));
    // A press is stamped when it is made: it may wait on the device thread,
    // and the capture tells a double click from a deliberate second press by
    // when the presses were made, not by when they reach it.
    QObject::connect(capture, &QAbstractButton::clicked, capture, [&ctx] {
        const auto pressed_at = Oscilloscope::Clock::now();
        const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
        ctx.Forward([pressed_at, interval](Program& p) {
            p.scope.double_click_ms = interval;
            p.scope.ConnectAndShowOsciillButtonClick(pressed_at);
        });
    });
    AddButton(page, "OscillPrescalerSelectButton", "Auto", 440, 480, 60, 25);
    auto* mode = AddCheckBox(page, "Oscilloscope_32_Mode_CheckBox", "32 bit mode", 980, 484);
    mode->move(1084 - mode->width(), 484);
}

}  // namespace tovrel::ui
