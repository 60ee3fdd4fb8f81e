#include "StartDialog.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "Program.h"

namespace tovrel::ui {

namespace {
constexpr const char* kItems[3] = {
    "Подключиться и считать конфигурацию из вариатора.",
    "Подключиться не считывая конфигурацию.",
    "Подключиться для обновления прошивки варитора. Включить звуковой сигнал.",
};
}  // namespace

StartDialog::StartDialog(UiContext& ctx) : ctx_(ctx) {
    setObjectName("TFormStartSelectConfiguration");
    setWindowTitle("Начальная конфигурация");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);
    setFixedSize(635, 151);

    options_ = new QGroupBox("Опции подключения", this);
    options_->setObjectName("RadioGroupSelectStartOption");
    options_->setGeometry(32, 8, 569, 105);
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(QString::fromUtf8(kItems[i]), options_);
        item->setObjectName(QString("RadioGroupSelectStartOption[%1]").arg(i));
        // Items share the group's height below its caption, as a radio group lays them out.
        item->setGeometry(8, 18 + i * 28, 553, 22);
        if (i == 0) item->setChecked(true);
    }

    continue_ = new QPushButton("Продолжить", this);
    continue_->setObjectName("ButtonContinue");
    continue_->setGeometry(32, 119, 569, 25);
    continue_->setDefault(true);
    continue_->setAutoDefault(true);
    connect(continue_, &QPushButton::clicked, this, [this] {
        ctx_.Forward([](Program& p) { (void)p; }, options_);
        accept();
    });
}

void StartDialog::reject() { QDialog::reject(); }

}  // namespace tovrel::ui
