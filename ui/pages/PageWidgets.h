#pragma once
// Small widgets and helpers the page builders share: a push button whose
// caption wraps, spin buttons beside an edit, and the placing, naming and
// wiring of controls.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <functional>

#include "UiContext.h"

namespace tovrel::ui {

// A push button whose caption wraps onto as many lines as its width needs
// (some captions of the pages are sentences). The caption stays the
// button's text, so the screen sets it like any other button's.
class WrapButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Spin buttons beside an edit that holds a number: each click, or the up and
// down arrow keys in the edit, moves the edit's number by one within the
// range. A text that is not a number counts as the range's lower end.
// `stepped` tells the new text after a step.
class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent);

    void Step(int delta);
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }

signals:
    void stepped(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* buddy_;
    QWidget* up_;
    QWidget* down_;
    int minimum_, maximum_;
};

// Builders' helpers. Positions are pixels within `parent`; a width or height
// of 0 takes the control's natural size.
QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 0, int h = 0);
// A value label: left-aligned text in a box of fixed size whose background
// shows only while the label is opaque.
QLabel* AddValueLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h = 17);
QPushButton* AddButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h);
WrapButton* AddWrapButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h);
// An edit that takes digits only, with its spin buttons to the right.
QLineEdit* AddNumberEdit(UiContext& ctx, QWidget* parent, const char* name, const char* updown_name,
                         const QString& text, int minimum, int maximum, int x, int y, int w);
QCheckBox* AddCheckBox(QWidget* parent, const char* name, const QString& text, int x, int y);

// A click of `button` runs `call` on the device thread.
void OnClick(UiContext& ctx, QAbstractButton* button, std::function<void(Program&)> call);

// The starting caption or text of a control (the screen copies it into its
// mirror when the window is added to it).
void StartText(QWidget* control, const QString& text);
void StartHidden(QWidget* control);

}  // namespace tovrel::ui
