#pragma once

#include "board/picture_box.h"

#include <QLabel>
#include <QRadioButton>
#include <QWidget>

#include <cmath>

namespace pylons {

class MainWindow;

// Window units (1/1440 inch) to logical pixels: 15 to one. Qt scales logical pixels for hi-DPI
// screens, and everything is painted, so nothing is a scaled-up bitmap.
constexpr int kTwipsPerPixel = 15;
inline int ToPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

// A ring's picture: its colour with a raised edge. Pressing the mouse on a ring that can be
// dragged starts a drag, which the main window runs.
class RingPicture final : public QWidget {
    Q_OBJECT
public:
    RingPicture(int number, MainWindow& window, QWidget* parent);
    int Number() const { return number_; }
    void SetColour(Rgb colour);
    // Drawn with a bright frame while a hint names this ring.
    void SetHinted(bool hinted);
    bool Hinted() const { return hinted_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int number_;
    MainWindow& window_;
    QColor colour_;
    bool hinted_ = false;
};

// A pole: a wooden post, drawn gold while a hint names it as the place for a ring.
class PoleShape final : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    void SetHinted(bool hinted);
    bool Hinted() const { return hinted_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool hinted_ = false;
};

// The outline of a ring that follows the pointer during a drag; the mouse passes through it.
class DragOutline final : public QWidget {
    Q_OBJECT
public:
    explicit DragOutline(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The board, and the status bar's frame on it: for screen readers they hold only the controls a
// player can see, so that a pole, a ring or a button the level does not use is not read out.
class Board final : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

class StatusBarFrame final : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

// A pole's button above it, which shows where a dragged ring would go: for screen readers the
// selection among the poles (a radio button, checked for the selected pole). The game keeps the
// four as one group itself, and the player cannot click them.
class PoleButton final : public QRadioButton {
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;
};

// Says what happened to a screen reader: a notification that shows with the words, drawn as
// nothing at all (the board shows the same to the eye).
class Announcer final : public QLabel {
    Q_OBJECT
public:
    explicit Announcer(QWidget* parent);
    void Say(const QString& words);
};

// Gives the classes above the accessible roles they stand for.
void InstallBoardAccessibility();

} // namespace pylons
