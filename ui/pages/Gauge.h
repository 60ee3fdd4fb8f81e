#pragma once
// A percentage gauge: a sunken bar filled from the left with the whole-number
// percentage written across it. Whatever it is given is clamped to its range
// (0..100 unless the logic sets another), so a stray value never draws past
// the ends.
#include <QWidget>

#include "UiContext.h"

namespace tovrel::ui {

class Gauge : public QWidget, public ScreenControl {
    Q_OBJECT
public:
    explicit Gauge(QWidget* parent = nullptr);

    // GUI thread. Position, Minimum and Maximum are the gauge's own; every
    // other property is left to the screen.
    bool ApplyProperty(Property property, const PropertyValue& value) override;

    void SetProgress(int value);
    void SetRange(int minimum, int maximum);
    int Progress() const { return value_; }
    // The whole-number percentage the gauge shows.
    int Percent() const;

    QSize sizeHint() const override { return {100, 20}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int minimum_ = 0, maximum_ = 100, value_ = 0;
};

}  // namespace tovrel::ui
