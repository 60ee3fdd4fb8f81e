#pragma once
// Desktop tests answer modal dialogs (message boxes, file dialogs) from a
// timer, since the dialog runs its own event loop until it is closed.
#include <QApplication>
#include <QTimer>
#include <functional>

namespace tovrel::test {

// Answers the next modal dialog of type T as a user would: `answer` runs on
// the GUI thread, inside the dialog's own event loop, once it is up.
template <class T>
void WhenModal(std::function<void(T*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* found = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(found);
        }
    });
    timer->start();
}

}  // namespace tovrel::test
