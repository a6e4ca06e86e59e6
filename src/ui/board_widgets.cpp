#include "ui/board_widgets.h"

#include "game/texts.h"
#include "ui/main_window.h"
#include "ui/text_conversion.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

namespace pylons {

RingPicture::RingPicture(int number, MainWindow& window, QWidget* parent)
    : QWidget(parent), number_(number), window_(window) {
    setObjectName(QStringLiteral("picRing%1").arg(number));
}

void RingPicture::SetColour(Rgb colour) {
    const QColor next(colour.red, colour.green, colour.blue);
    if (next != colour_) {
        colour_ = next;
        update();
    }
}

void RingPicture::SetHinted(bool hinted) {
    if (hinted != hinted_) {
        hinted_ = hinted;
        update();
    }
}

// The hint's colours: a blue that stands out against every ring, and gold for the pole.
const QColor kHintFrame(0, 70, 200);
const QColor kHintPole(235, 180, 20);

void RingPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.fillRect(rect(), colour_);
    // A raised edge: light above and left, dark below and right.
    const QColor light = colour_.lightness() < 40 ? QColor(90, 90, 90) : colour_.lighter(135);
    const QColor dark = colour_.lightness() < 40 ? QColor(0, 0, 0) : colour_.darker(170);
    painter.setPen(QPen(light, 1));
    painter.drawLine(area.bottomLeft(), area.topLeft());
    painter.drawLine(area.topLeft(), area.topRight());
    painter.setPen(QPen(dark, 1));
    painter.drawLine(area.topRight(), area.bottomRight());
    painter.drawLine(area.bottomRight(), area.bottomLeft());
    if (hinted_) {
        painter.setPen(QPen(kHintFrame, 3));
        painter.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
    }
}

void RingPicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        window_.BeginDrag(*this, event->position().toPoint());
    }
}

void RingPicture::mouseMoveEvent(QMouseEvent* event) {
    window_.DragMove(event->globalPosition().toPoint(), event->buttons());
}

void RingPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        window_.DragRelease(event->globalPosition().toPoint());
    }
}

void PoleShape::SetHinted(bool hinted) {
    if (hinted != hinted_) {
        hinted_ = hinted;
        update();
    }
}

void PoleShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), hinted_ ? kHintPole : QColor(150, 100, 55));
    painter.setPen(QColor(90, 55, 25));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

DragOutline::DragOutline(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("dragOutline"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    hide();
}

void DragOutline::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QPen pen(Qt::black, 1, Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    pen.setColor(Qt::white);
    pen.setDashOffset(1);
    painter.setPen(pen);
    painter.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
}

Announcer::Announcer(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("announcer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 1, 1);
    hide();
}

void Announcer::Say(const QString& words) {
    // Shown afresh each time: a notification that appears is what screen readers speak.
    hide();
    setAccessibleName(words);
    show();
}

namespace {

class ShownChildrenAccessible final : public QAccessibleWidget {
public:
    ShownChildrenAccessible(QWidget* widget, QAccessible::Role role, const QString& name)
        : QAccessibleWidget(widget, role, name) {}

    int childCount() const override { return static_cast<int>(Shown().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> shown = Shown();
        return index >= 0 && index < shown.size()
                   ? QAccessible::queryAccessibleInterface(shown[index])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr ? static_cast<int>(Shown().indexOf(child->object())) : -1;
    }

private:
    QList<QWidget*> Shown() const {
        QList<QWidget*> shown;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child != nullptr && !child->isWindow() && !child->isHidden()) {
                shown << child;
            }
        }
        return shown;
    }
};

class PoleButtonAccessible final : public QAccessibleWidget {
public:
    explicit PoleButtonAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::RadioButton) {}
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = static_cast<QRadioButton*>(widget())->isChecked();
        return state;
    }
};

QAccessibleInterface* BoardAccessibility(const QString&, QObject* object) {
    if (auto* board = qobject_cast<Board*>(object)) {
        return new ShownChildrenAccessible(board, QAccessible::Client, QString());
    }
    if (auto* frame = qobject_cast<StatusBarFrame*>(object)) {
        return new ShownChildrenAccessible(frame, QAccessible::StatusBar,
                                           FromGameText(texts::kStatusBarName));
    }
    if (auto* button = qobject_cast<PoleButton*>(object)) {
        return new PoleButtonAccessible(button);
    }
    if (auto* announcer = qobject_cast<Announcer*>(object)) {
        return new QAccessibleWidget(announcer, QAccessible::Notification);
    }
    return nullptr;
}

} // namespace

void InstallBoardAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(BoardAccessibility);
        return true;
    }();
    (void)installed;
}

} // namespace pylons
