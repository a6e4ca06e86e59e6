#pragma once

// A build-time hook for measuring start-up: the program ends as soon as its window has painted
// its first frame. Only the benchmark's own builds define PYLONS_EXIT_ON_FIRST_PAINT; the game
// itself takes no option of any kind.

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace pylons {

class ExitOnFirstPaint final : public QObject {
public:
    explicit ExitOnFirstPaint(QWidget* window) : QObject(window) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            // After this paint has reached the screen.
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return false;
    }

private:
    bool done_ = false;
};

} // namespace pylons
