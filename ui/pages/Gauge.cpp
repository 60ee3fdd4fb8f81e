#include "Gauge.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace tovrel::ui {

Gauge::Gauge(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent, false); }

bool Gauge::ApplyProperty(Property property, const PropertyValue& value) {
    const int* number = std::get_if<int>(&value);
    switch (property) {
        case Property::Position:
            if (number) SetProgress(*number);
            return true;
        case Property::Minimum:
            if (number) SetRange(*number, maximum_);
            return true;
        case Property::Maximum:
            if (number) SetRange(minimum_, *number);
            return true;
        default:
            return false;
    }
}

void Gauge::SetRange(int minimum, int maximum) {
    // The percentage scale never goes outside 0..100.
    minimum_ = std::clamp(minimum, 0, 100);
    maximum_ = std::clamp(maximum, 0, 100);
    if (maximum_ < minimum_) maximum_ = minimum_;
    SetProgress(value_);
}

void Gauge::SetProgress(int value) {
    const int clamped = std::clamp(value, minimum_, maximum_);
    if (clamped == value_) return;
    value_ = clamped;
    update();
}

int Gauge::Percent() const {
    if (maximum_ == minimum_) return 0;
    return static_cast<int>((static_cast<long>(value_) - minimum_) * 100 / (maximum_ - minimum_));
}

void Gauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame = rect();
    QStyleOptionFrame option;
    option.initFrom(this);
    option.rect = frame;
    option.lineWidth = 1;
    option.state |= QStyle::State_Sunken;
    const QRect inner = frame.adjusted(2, 2, -2, -2);
    painter.fillRect(inner, Qt::white);
    style()->drawPrimitive(QStyle::PE_Frame, &option, &painter, this);

    const int percent = Percent();
    QRect filled = inner;
    filled.setWidth(inner.width() * percent / 100);
    const QColor bar(0, 0, 128);
    painter.fillRect(filled, bar);

    // The figure reads black on the empty part and white on the filled one.
    const QString text = QString::number(percent) + QLatin1Char('%');
    painter.setClipRect(inner);
    painter.setPen(Qt::black);
    painter.drawText(inner, Qt::AlignCenter, text);
    painter.setClipRect(filled);
    painter.setPen(Qt::white);
    painter.drawText(inner, Qt::AlignCenter, text);
}

}  // namespace tovrel::ui
