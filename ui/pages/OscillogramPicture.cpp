#include "OscillogramPicture.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace tovrel::ui {

namespace {

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// A picture wider than this is refused: the logic asks for 10000 pixels,
// anything far beyond that is a mistake, not a drawing.
constexpr int kMaxPictureWidth = 1 << 16;

}  // namespace

OscillogramPicture::OscillogramPicture(int width, int height, QWidget* parent)
    : QWidget(parent), image_(std::max(1, width), std::max(1, height), QImage::Format_RGB32) {
    image_.fill(Qt::white);
    setFixedSize(image_.size());
}

int OscillogramPicture::Width() const {
    std::lock_guard lock(mutex_);
    return image_.width();
}

int OscillogramPicture::Height() const {
    std::lock_guard lock(mutex_);
    return image_.height();
}

void OscillogramPicture::SetWidth(int width) {
    {
        std::lock_guard lock(mutex_);
        width = std::clamp(width, 1, kMaxPictureWidth);
        if (width == image_.width()) return;
        QImage wider(width, image_.height(), QImage::Format_RGB32);
        wider.fill(Qt::white);
        QPainter painter(&wider);
        painter.drawImage(0, 0, image_);
        painter.end();
        image_ = std::move(wider);
    }
    ScheduleUpdate();
}

void OscillogramPicture::SetPenColour(Rgb colour) {
    std::lock_guard lock(mutex_);
    pen_ = ToQColor(colour);
}

void OscillogramPicture::SetPenWidth(int width) {
    std::lock_guard lock(mutex_);
    pen_width_ = std::max(1, width);
}

void OscillogramPicture::SetBrushColour(Rgb colour) {
    std::lock_guard lock(mutex_);
    brush_ = ToQColor(colour);
}

void OscillogramPicture::Rectangle(int x1, int y1, int x2, int y2) {
    {
        std::lock_guard lock(mutex_);
        if (x2 < x1) std::swap(x1, x2);
        if (y2 < y1) std::swap(y1, y2);
        if (x2 - x1 < 1 || y2 - y1 < 1) return;
        QPainter painter(&image_);
        // Filled up to, not including, (x2, y2); the outline in the pen's
        // colour one pixel wide on the rectangle's edge pixels.
        painter.fillRect(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)), brush_);
        painter.setPen(QPen(pen_, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(QPoint(x1, y1), QPoint(x2 - 2, y2 - 2)));
    }
    ScheduleUpdate();
}

void OscillogramPicture::MoveTo(int x, int y) {
    std::lock_guard lock(mutex_);
    pos_ = {x, y};
}

void OscillogramPicture::LineTo(int x, int y) {
    {
        std::lock_guard lock(mutex_);
        QPainter painter(&image_);
        QPen pen(pen_, pen_width_);
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawLine(QPoint(pos_.x, pos_.y), QPoint(x, y));
        pos_ = {x, y};
    }
    ScheduleUpdate();
}

Point OscillogramPicture::PenPosition() const {
    std::lock_guard lock(mutex_);
    return pos_;
}

QImage OscillogramPicture::Snapshot() const {
    std::lock_guard lock(mutex_);
    return image_.copy();
}

void OscillogramPicture::ScheduleUpdate() {
    if (update_pending_.exchange(true)) return;
    // Queued to this widget: dropped if the widget is gone by then.
    QMetaObject::invokeMethod(
        this,
        [this] {
            update_pending_ = false;
            QSize size;
            {
                std::lock_guard lock(mutex_);
                size = image_.size();
            }
            if (size != this->size()) setFixedSize(size);
            update();
        },
        Qt::QueuedConnection);
}

void OscillogramPicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    std::lock_guard lock(mutex_);
    const QRect area = event->rect() & image_.rect();
    painter.drawImage(area.topLeft(), image_, area);
}

OscillScrollBox::OscillScrollBox(QWidget* parent) : QScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(false);
}

bool OscillScrollBox::ApplyProperty(Property property, const PropertyValue& value) {
    if (property != Property::Position) return false;
    if (const int* position = std::get_if<int>(&value)) horizontalScrollBar()->setValue(*position);
    return true;
}

}  // namespace tovrel::ui
