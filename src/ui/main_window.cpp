#include "ui/main_window.h"

#include "game/layout.h"
#include "game/texts.h"
#include "ui/board_widgets.h"
#include "ui/frm_about.h"
#include "ui/frm_hiscore.h"
#include "ui/text_conversion.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>

#include <map>

namespace pylons {

using namespace layout;

MainWindow::MainWindow(const std::filesystem::path& hiScoreFile)
    : desktop_(this), game_(desktop_, hiScoreFile) {
    setObjectName(QStringLiteral("frmMain"));
    // A fixed border with a minimise button and no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    desktop_.BeforeDialogs([this] { Refresh(); });
    desktop_.OnAnnounce([this](const QString& words) { toSay_ << words; });
    BuildMenus();
    BuildBoard();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    hintTimer_.setSingleShot(true);
    hintTimer_.setInterval(PlayerInput::kHintShowsMs);
    connect(&hintTimer_, &QTimer::timeout, this, [this] {
        input_.HintTimeUp();
        Refresh();
    });
    solveTimer_.setSingleShot(true);
    solveTimer_.setInterval(PlayerInput::kSolveStepMs);
    connect(&solveTimer_, &QTimer::timeout, this, [this] { SolveTick(); });

    timElapsed_.setObjectName(QStringLiteral("timElapsed"));
    timElapsed_.setInterval(game_.timElapsed.Interval);
    connect(&timElapsed_, &QTimer::timeout, this, [this] { timElapsed_Timer(); });

    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QSize available = screen->availableGeometry().size();
        game_.Screen = {available.width() * double{kTwipsPerPixel},
                        available.height() * double{kTwipsPerPixel}};
    }
    game_.Window.Height =
        (menuBar()->sizeHint().height() + ToPixels(kClientHeight)) * double{kTwipsPerPixel};
    game_.Form_Load();
    Refresh();
}

MainWindow::~MainWindow() = default;

void MainWindow::Refresh() {
    setWindowTitle(FromGameText(game_.Window.Caption));
    const QSize client(ToPixels(game_.Window.Width), ToPixels(kClientHeight));
    if (board_->size() != client) {
        board_->setFixedSize(client);
        LayOutStatusBar(client.width());
        layout()->activate(); // the window takes its new width now, not at the next layout pass
    }
    if (centrings_ != game_.Window.Centrings) {
        centrings_ = game_.Window.Centrings;
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QPoint origin = screen != nullptr ? screen->availableGeometry().topLeft() : QPoint();
        move(origin + QPoint(ToPixels(game_.Window.Left), ToPixels(game_.Window.Top)));
    }

    for (int p = 1; p <= 4; ++p) {
        const OptionButton& option = game_.optPaal[p];
        QRadioButton* button = optPaal_[static_cast<std::size_t>(p - 1)];
        button->setChecked(option.Value);
        button->setVisible(option.Visible);
        shpPaal_[static_cast<std::size_t>(p - 1)]->setVisible(
            game_.shpPaal[static_cast<std::size_t>(p - 1)].Visible);
    }
    for (std::size_t i = 0; i < 9; ++i) {
        const PictureBox& picture = game_.picRing[i];
        RingPicture* ring = picRing_[i];
        ring->SetColour(picture.BackColor);
        ring->setGeometry(ToPixels(picture.Left), ToPixels(picture.Top), ToPixels(picture.Width),
                          ToPixels(picture.Height));
        ring->setVisible(picture.Visible);
    }
    for (std::size_t i = 0; i < 3; ++i) {
        panels_[i]->setText(FromGameText(game_.stbStatusBar.panels[i].Text));
    }
    if (game_.timElapsed.Enabled != timElapsed_.isActive()) {
        if (game_.timElapsed.Enabled) {
            timElapsed_.start();
        } else {
            timElapsed_.stop();
        }
    }
    ShowHint();
    mnuUndo_->setEnabled(game_.CanUndo());
    mnuRedo_->setEnabled(game_.CanRedo());
    mnuHint_->setEnabled(game_.CanSolve());
    mnuSolve_->setEnabled(game_.CanSolve() && !input_.Solving());
    ShowOutline();
    DescribeForScreenReaders();
    // What one event made the game say is said at once, in its order; before the window shows,
    // nobody could hear it, so it waits.
    if (!toSay_.isEmpty() && isVisible()) {
        announcer_->Say(toSay_.join(QStringLiteral(". ")));
        toSay_.clear();
    }
    if (game_.Unloaded) {
        CancelDrag();
        StopSolving();
        timElapsed_.stop();
        close();
    }
}

void MainWindow::ShowHint() {
    const auto& hint = game_.ShownHint;
    for (RingPicture* ring : picRing_) {
        ring->SetHinted(hint && ring->Number() == hint->ring);
    }
    for (int p = 1; p <= 4; ++p) {
        shpPaal_[static_cast<std::size_t>(p - 1)]->SetHinted(hint && p == hint->pole);
    }
    const QString text = FromGameText(game_.HintText());
    if (text == hintText_->text()) {
        return;
    }
    hintText_->setText(text);
    hintText_->setGeometry(4, ToPixels(kPoleTop) + 8, board_->width() - 8,
                           hintText_->sizeHint().height() + 4);
    hintText_->setVisible(!text.isEmpty());
    if (!text.isEmpty()) {
        hintText_->raise();
        hintTimer_.start();
    } else {
        hintTimer_.stop();
    }
}

void MainWindow::timElapsed_Timer() {
    // A tick can still arrive after a finished level stopped the clock, while its messages are
    // open; it counts nothing then.
    if (game_.timElapsed.Enabled) {
        game_.timElapsed_Timer();
    }
    Refresh();
}

void MainWindow::BeginDrag(RingPicture& ring, QPoint grabOffset) {
    if (!input_.Press(ring.Number())) {
        Refresh(); // a ring lifted by its key went back; a fixed ring cannot be picked up
        return;
    }
    grabOffset_ = grabOffset;
    lastDragPos_ = ring.mapToGlobal(grabOffset);
    outline_->setGeometry(ring.geometry());
    Refresh();
    WatchApplication();
}

void MainWindow::WatchApplication() {
    qApp->removeEventFilter(this);
    if ((Dragging() && !HoldingByKeyboard()) || input_.Solving()) {
        qApp->installEventFilter(this);
    }
}

bool MainWindow::OverWindowSurface(QPoint globalPos) const {
    const QPoint at = board_->mapFromGlobal(globalPos);
    if (!board_->rect().contains(at)) {
        return false;
    }
    QWidget* under = board_->childAt(at); // the outline lets the mouse through
    return under == nullptr || qobject_cast<PoleShape*>(under) != nullptr ||
           qobject_cast<QRadioButton*>(under) != nullptr;
}

float MainWindow::TwipsX(QPoint globalPos) const {
    return static_cast<float>(board_->mapFromGlobal(globalPos).x() * kTwipsPerPixel);
}

void MainWindow::DragMove(QPoint globalPos, Qt::MouseButtons buttons) {
    if (!Dragging() || HoldingByKeyboard()) {
        return;
    }
    if (!(buttons & Qt::LeftButton)) {
        CancelDrag(); // the button came up where we did not see it
        return;
    }
    lastDragPos_ = globalPos;
    outline_->move(board_->mapFromGlobal(globalPos) - grabOffset_);
    if (OverWindowSurface(globalPos)) {
        input_.DragOver(TwipsX(globalPos));
        Refresh();
    }
}

void MainWindow::DragRelease(QPoint globalPos) {
    if (!Dragging() || HoldingByKeyboard()) {
        return;
    }
    if (globalPos != lastDragPos_) {
        DragMove(globalPos, Qt::LeftButton);
    }
    // The outline goes before the game runs the drop: finishing a level opens message boxes.
    outline_->hide();
    qApp->removeEventFilter(this);
    input_.Release(OverWindowSurface(globalPos));
    WatchApplication();
    Refresh();
}

void MainWindow::CancelDrag() {
    input_.Cancel();
    outline_->hide();
    WatchApplication();
}

void MainWindow::ShowOutline() {
    const auto& lift = input_.Lifted();
    if (!lift) {
        outline_->hide();
        return;
    }
    const PictureBox& picture = game_.picRing[static_cast<std::size_t>(lift->ring - 1)];
    if (lift->byKeyboard) {
        outline_->setGeometry(ToPixels(lift->OutlineLeft), ToPixels(lift->OutlineTop),
                              ToPixels(picture.Width), ToPixels(picture.Height));
    }
    const QString name = FromGameText(texts::LiftedOutline(lift->ring));
    if (outline_->accessibleName() != name) {
        outline_->setAccessibleName(name); // each change is an event on the accessibility bus
    }
    if (!outline_->isVisible()) {
        outline_->raise();
        outline_->show();
    }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    const int pole = event->key() - Qt::Key_1 + 1;
    const bool digit = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
                       event->key() >= Qt::Key_1 && event->key() <= Qt::Key_4;
    const bool handled = event->key() == Qt::Key_Escape ? input_.Escape()
                         : digit                        ? input_.PoleKey(pole)
                                                        : false;
    if (!handled) {
        QMainWindow::keyPressEvent(event);
    }
    Refresh();
}

void MainWindow::DescribeForScreenReaders() {
    const auto setName = [](QWidget* widget, const std::string& name) {
        const QString text = FromGameText(name);
        if (widget->accessibleName() != text) {
            widget->setAccessibleName(text);
        }
    };
    for (int p = 1; p <= 4; ++p) {
        setName(shpPaal_[static_cast<std::size_t>(p - 1)], game_.PoleDescription(p));
    }
    for (int n = 1; n <= 9; ++n) {
        if (game_.picRing[static_cast<std::size_t>(n - 1)].Visible) {
            setName(picRing_[static_cast<std::size_t>(n - 1)], game_.RingDescription(n));
        }
    }
    setName(board_, game_.BoardDescription());
    for (QLabel* panel : panels_) {
        if (panel->accessibleName() != panel->text()) {
            panel->setAccessibleName(panel->text());
        }
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == menuBar()) {
        // Alt, let go, then a letter: the menu bar has the keyboard and the letter is a menu's
        // access key (H for Help), not the shortcut of an item that happens to share it.
        if (event->type() == QEvent::ShortcutOverride && menuBar()->hasFocus() &&
            static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
            event->accept();
            return true;
        }
        return QMainWindow::eventFilter(watched, event);
    }
    if (Dragging() && !HoldingByKeyboard() && event->type() == QEvent::MouseMove &&
        !(static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton)) {
        CancelDrag();
    }
    if (input_.Solving() &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride ||
         event->type() == QEvent::MouseButtonPress)) {
        StopSolving(); // any key or click stops the solver where it is
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        if (!isActiveWindow()) {
            CancelDrag();
        } else if (!desktop_.InDialog()) {
            input_.FocusGained(); // coming back to the game, the player hears the board
        }
        Refresh();
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::mnuSave_Click() {
    game_.mnuSave_Click();
    Refresh();
}

void MainWindow::mnuLoad_Click() {
    game_.mnuLoad_Click();
    Refresh();
}

void MainWindow::mnuHiScore_Click() {
    frmHiscore window(game_.HiScores, this);
    window.exec();
}

void MainWindow::mnuQuit_Click() {
    game_.mnuQuit_Click();
    Refresh();
}

void MainWindow::mnuWeb_Click() {
    game_.mnuWeb_Click();
}

void MainWindow::mnuAbout_Click() {
    frmAbout window(desktop_, this);
    window.exec();
}

void MainWindow::mnuUndo_Click() {
    input_.Undo();
    Refresh();
}

void MainWindow::mnuRedo_Click() {
    input_.Redo();
    Refresh();
}

void MainWindow::mnuRestart_Click() {
    input_.Restart();
    Refresh();
}

void MainWindow::mnuHint_Click() {
    input_.Hint();
    Refresh();
}

void MainWindow::mnuSolve_Click() {
    outline_->hide();
    const bool more = input_.StartSolving();
    WatchApplication();
    if (more) {
        solveTimer_.start();
    } else {
        StopSolving();
    }
    Refresh();
}

void MainWindow::SolveTick() {
    // The timer waits while a move runs: a finished level opens its messages inside it.
    if (input_.SolveStep()) {
        solveTimer_.start();
    } else {
        StopSolving();
    }
    Refresh();
}

void MainWindow::StopSolving() {
    input_.PlayerActed();
    solveTimer_.stop();
    WatchApplication();
    mnuSolve_->setEnabled(game_.CanSolve());
}

} // namespace pylons
