#include "PageWidgets.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QToolButton>
#include <algorithm>

namespace tovrel::ui {

void WrapButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(2, 0, -2, 0);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text());
}

UpDown::UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), buddy_(buddy), minimum_(minimum), maximum_(maximum) {
    auto* up = new QToolButton(this);
    auto* down = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    for (auto* b : {up, down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(up, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down, &QToolButton::clicked, this, [this] { Step(-1); });
    up_ = up;
    down_ = down;
    buddy_->installEventFilter(this);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

void UpDown::Step(int delta) {
    bool ok = false;
    long long value = buddy_->text().toLongLong(&ok);
    if (!ok) value = minimum_;
    value = std::clamp<long long>(value + delta, minimum_, maximum_);
    const QString text = QString::number(value);
    buddy_->setText(text);
    emit stepped(text);
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->adjustSize();
    label->setGeometry(x, y, w > 0 ? w : label->width(), h > 0 ? h : label->height());
    return label;
}

QLabel* AddValueLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h) {
    auto* label = AddLabel(parent, name, text, x, y, w, h);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A little room between an opaque label's edge and its text.
    label->setIndent(3);
    label->setAutoFillBackground(false);
    return label;
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(x, y, w, h);
    return button;
}

WrapButton* AddWrapButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h) {
    auto* button = new WrapButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(x, y, w, h);
    return button;
}

QLineEdit* AddNumberEdit(UiContext& ctx, QWidget* parent, const char* name, const char* updown_name,
                         const QString& text, int minimum, int maximum, int x, int y, int w) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setGeometry(x, y, w, 21);
    StartText(edit, text);
    auto* updown = new UpDown(edit, minimum, maximum, parent);
    updown->setObjectName(updown_name);
    updown->setGeometry(x + w, y, 17, 21);
    // Typing reaches the mirror through the screen; a click of the spin
    // buttons changes the text by program, so it is passed on here.
    const std::string control = name;
    QObject::connect(updown, &UpDown::stepped, edit, [&ctx, control](const QString& now) {
        ctx.UserEdit(control, Property::Text, now.toStdString());
    });
    return edit;
}

QCheckBox* AddCheckBox(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->adjustSize();
    box->move(x, y);
    return box;
}

void OnClick(UiContext& ctx, QAbstractButton* button, std::function<void(Program&)> call) {
    QObject::connect(button, &QAbstractButton::clicked, button, [&ctx, call = std::move(call)] { ctx.Forward(call); });
}

void StartText(QWidget* control, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
        memo->setPlainText(text);
}

void StartHidden(QWidget* control) { control->setVisible(false); }

}  // namespace tovrel::ui
