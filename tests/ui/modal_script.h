#pragma once

#include <QApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>

namespace pylons::testing {

// Answers the modal windows that open while a test drives the game, one step per window, as a
// player would: it polls QApplication::activeModalWidget() from a timer, which also fires inside
// the windows' own event loops. Each window seen is written down as "title: text"; a window that
// no step is left for is written down as unexpected and closed.
class ModalScript : public QObject {
public:
    using Step = std::function<void(QWidget*)>;

    ModalScript() {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, &ModalScript::Poll);
        timer_.start();
    }

    ModalScript& Then(Step step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    // A message box, answered with the given button.
    ModalScript& Press(QMessageBox::StandardButton button = QMessageBox::Ok) {
        return Then([button](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box != nullptr);
            QVERIFY(box->button(button) != nullptr);
            box->button(button)->click();
        });
    }
    // The name prompt: typed over the offered name, then Enter.
    ModalScript& Type(const QString& text) {
        return Then([text](QWidget* w) {
            auto* dialog = qobject_cast<QInputDialog*>(w);
            QVERIFY(dialog != nullptr);
            auto* edit = dialog->findChild<QLineEdit*>();
            QVERIFY(edit != nullptr);
            edit->selectAll();
            for (const QChar c : text) { // typed key by key, accented letters too
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QApplication::sendEvent(edit, &press);
            }
            QTest::keyClick(edit, Qt::Key_Return);
        });
    }
    ModalScript& Cancel() {
        return Then([](QWidget* w) {
            auto* dialog = qobject_cast<QDialog*>(w);
            QVERIFY(dialog != nullptr);
            dialog->reject();
        });
    }

    QStringList seen;
    bool Done() const { return steps_.empty(); }

private:
    static QString Describe(QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            const char* icon = box->icon() == QMessageBox::Critical ? "critical" : "information";
            return box->windowTitle() + QStringLiteral(" (%1): ").arg(QLatin1String(icon)) +
                   box->text();
        }
        if (auto* input = qobject_cast<QInputDialog*>(w)) {
            return input->windowTitle() + QStringLiteral(": ") + input->labelText() +
                   QStringLiteral(" [") + input->textValue() + QLatin1Char(']');
        }
        return w->windowTitle();
    }

    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible() || busy_) {
            return;
        }
        busy_ = true;
        seen << Describe(modal);
        if (steps_.empty()) {
            seen.last().prepend(QStringLiteral("unexpected "));
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            } else {
                modal->close();
            }
        } else {
            Step step = std::move(steps_.front());
            steps_.pop_front();
            step(modal);
        }
        busy_ = false;
    }

    QTimer timer_;
    std::deque<Step> steps_;
    bool busy_ = false;
};

} // namespace pylons::testing
