#include "ui/main_window.h"

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

namespace pylons {
namespace {

// The board as the window is created, in window units.
constexpr int kClientHeight = 4575;
constexpr int kStatusBarTop = 4200;
constexpr int kStatusBarHeight = 375;
constexpr int kOptionLefts[] = {480, 1800, 3120, 4440};
constexpr int kOptionTop = 120;
constexpr int kOptionSize = 255;
constexpr int kPoleLefts[] = {525, 1845, 3165, 4485};
constexpr int kPoleTop = 480;
constexpr int kPoleWidth = 135;
constexpr int kPoleHeight = 3615;

// Status panels: width and least width; panel 2 gives way so that the three fit.
constexpr int kPanel1 = 1200;
constexpr int kPanel2 = 3195;
constexpr int kPanel2Least = 1440;
constexpr int kPanel3 = 750;

} // namespace

MainWindow::MainWindow(const std::filesystem::path& hiScoreFile)
    : desktop_(this), game_(desktop_, hiScoreFile) {
    setObjectName(QStringLiteral("frmMain"));
    // A fixed border with a minimise button and no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    desktop_.BeforeDialogs([this] { Refresh(); });
    BuildMenus();
    BuildBoard();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    hintTimer_.setSingleShot(true);
    hintTimer_.setInterval(4000);
    connect(&hintTimer_, &QTimer::timeout, this, [this] {
        game_.ClearHint();
        Refresh();
    });
    solveTimer_.setSingleShot(true);
    solveTimer_.setInterval(500);
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

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    file->addAction(QStringLiteral("&Save"), this, &MainWindow::mnuSave_Click)
        ->setObjectName(QStringLiteral("mnuSave"));
    file->addAction(QStringLiteral("&Open"), this, &MainWindow::mnuLoad_Click)
        ->setObjectName(QStringLiteral("mnuLoad"));
    file->addSeparator();
    file->addAction(QStringLiteral("&Hiscore"), this, &MainWindow::mnuHiScore_Click)
        ->setObjectName(QStringLiteral("mnuHiScore"));
    file->addSeparator();
    file->addAction(QStringLiteral("&Quit"), this, &MainWindow::mnuQuit_Click)
        ->setObjectName(QStringLiteral("mnuQuit"));
    QMenu* game = menuBar()->addMenu(QStringLiteral("&Game"));
    game->setObjectName(QStringLiteral("mnuGame"));
    mnuUndo_ = game->addAction(QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), this,
                               &MainWindow::mnuUndo_Click);
    mnuUndo_->setObjectName(QStringLiteral("mnuUndo"));
    mnuRedo_ =
        game->addAction(QStringLiteral("&Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                        this, &MainWindow::mnuRedo_Click);
    mnuRedo_->setObjectName(QStringLiteral("mnuRedo"));
    game->addSeparator();
    game->addAction(QStringLiteral("Re&start level"), this, &MainWindow::mnuRestart_Click)
        ->setObjectName(QStringLiteral("mnuRestart"));
    game->addSeparator();
    mnuHint_ = game->addAction(QStringLiteral("H&int"), QKeySequence(Qt::Key_H), this,
                               &MainWindow::mnuHint_Click);
    mnuHint_->setObjectName(QStringLiteral("mnuHint"));
    mnuSolve_ = game->addAction(QStringLiteral("S&olve"), this, &MainWindow::mnuSolve_Click);
    mnuSolve_->setObjectName(QStringLiteral("mnuSolve"));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    help->addAction(QStringLiteral("&Web site"), this, &MainWindow::mnuWeb_Click)
        ->setObjectName(QStringLiteral("mnuWeb"));
    help->addSeparator();
    help->addAction(QStringLiteral("&About"), this, &MainWindow::mnuAbout_Click)
        ->setObjectName(QStringLiteral("mnuAbout"));
    // Opening any menu stops the solver where it is.
    for (QMenu* menu : {file, game, help}) {
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::StopSolving);
    }
}

void MainWindow::BuildBoard() {
    InstallBoardAccessibility();
    board_ = new Board(this);
    board_->setObjectName(QStringLiteral("board"));
    board_->setAutoFillBackground(true);
    setCentralWidget(board_);

    for (std::size_t i = 0; i < 4; ++i) {
        auto* option = new PoleButton(board_);
        option->setObjectName(QStringLiteral("optPaal%1").arg(i + 1));
        option->setAccessibleName(QStringLiteral("Pole %1").arg(i + 1));
        option->setEnabled(false);
        option->setAutoExclusive(false); // the game keeps the four as one group
        option->setFocusPolicy(Qt::NoFocus);
        option->setGeometry(ToPixels(kOptionLefts[i]), ToPixels(kOptionTop), ToPixels(kOptionSize),
                            ToPixels(kOptionSize));
        option->hide();
        optPaal_[i] = option;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        auto* pole = new PoleShape(board_);
        pole->setObjectName(QStringLiteral("shpPaal%1").arg(i + 1));
        pole->setGeometry(ToPixels(kPoleLefts[i]), ToPixels(kPoleTop), ToPixels(kPoleWidth),
                          ToPixels(kPoleHeight));
        pole->hide();
        shpPaal_[i] = pole;
    }
    // Created after the poles, so that a ring covers its pole.
    for (std::size_t i = 0; i < 9; ++i) {
        picRing_[i] = new RingPicture(static_cast<int>(i) + 1, *this, board_);
        picRing_[i]->hide();
    }

    stbStatusBar_ = new StatusBarFrame(board_);
    stbStatusBar_->setObjectName(QStringLiteral("stbStatusBar"));
    for (std::size_t i = 0; i < 3; ++i) {
        auto* panel = new QLabel(stbStatusBar_);
        panel->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setIndent(2);
        panels_[i] = panel;
    }
    outline_ = new DragOutline(board_);

    announcer_ = new Announcer(board_);
    // The hint in words, across the top of the board where the poles stand free.
    hintText_ = new QLabel(board_);
    hintText_->setObjectName(QStringLiteral("hintText"));
    hintText_->setAlignment(Qt::AlignCenter);
    hintText_->setAttribute(Qt::WA_TransparentForMouseEvents);
    hintText_->setStyleSheet(QStringLiteral(
        "background: rgba(255, 255, 255, 230); color: black; border: 1px solid rgb(0, 70, 200);"));
    hintText_->hide();
}

void MainWindow::LayOutStatusBar(int width) {
    stbStatusBar_->setGeometry(0, ToPixels(kStatusBarTop), width, ToPixels(kStatusBarHeight));
    const int first = ToPixels(kPanel1);
    const int third = ToPixels(kPanel3);
    const int second = std::clamp(width - first - third, ToPixels(kPanel2Least), ToPixels(kPanel2));
    const int height = ToPixels(kStatusBarHeight);
    panels_[0]->setGeometry(0, 0, first, height);
    panels_[1]->setGeometry(first, 0, second, height);
    panels_[2]->setGeometry(first + second, 0, third, height);
}

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
    mnuSolve_->setEnabled(game_.CanSolve() && !solving_);
    DescribeForScreenReaders();
    if (!game_.Announcements.empty()) {
        QStringList said;
        for (const std::string& words : game_.Announcements) {
            said << FromGameText(words);
        }
        game_.Announcements.clear();
        announcer_->Say(said.join(QStringLiteral(". ")));
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
    if (byKeyboard_) {
        CancelDrag(); // the mouse takes over from a ring held by the keyboard
    }
    const PictureBox& picture = game_.picRing[static_cast<std::size_t>(ring.Number() - 1)];
    if (dragged_ != nullptr || !picture.Visible || picture.DragMode != 1) {
        return; // a fixed ring cannot be picked up
    }
    dragged_ = &ring;
    grabOffset_ = grabOffset;
    lastDragPos_ = ring.mapToGlobal(grabOffset);
    outline_->setGeometry(ring.geometry());
    outline_->setAccessibleName(QStringLiteral("Ring %1 lifted").arg(ring.Number()));
    outline_->raise();
    outline_->show();
    WatchApplication();
}

void MainWindow::WatchApplication() {
    qApp->removeEventFilter(this);
    if ((dragged_ != nullptr && !byKeyboard_) || solving_) {
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
    if (dragged_ == nullptr) {
        return;
    }
    if (!(buttons & Qt::LeftButton)) {
        CancelDrag(); // the button came up where we did not see it
        return;
    }
    lastDragPos_ = globalPos;
    outline_->move(board_->mapFromGlobal(globalPos) - grabOffset_);
    if (OverWindowSurface(globalPos)) {
        game_.Form_DragOver(TwipsX(globalPos));
        Refresh();
    }
}

void MainWindow::DragRelease(QPoint globalPos) {
    if (dragged_ == nullptr) {
        return;
    }
    if (globalPos != lastDragPos_) {
        DragMove(globalPos, Qt::LeftButton);
    }
    const std::string name = dragged_->objectName().toStdString();
    // The drag is over before the game runs the drop: finishing a level opens message boxes.
    CancelDrag();
    if (OverWindowSurface(globalPos)) {
        game_.Form_DragDrop(name);
    }
    Refresh();
}

void MainWindow::CancelDrag() {
    dragged_ = nullptr;
    byKeyboard_ = false;
    outline_->hide();
    WatchApplication();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    const int pole = event->key() - Qt::Key_1 + 1;
    const bool poleKey = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
                         pole >= 1 && pole <= PolesInPlay(game_.Level());
    if (event->key() == Qt::Key_Escape && HoldingByKeyboard()) {
        CancelDrag(); // back where it was, and no move
    } else if (!poleKey) {
        QMainWindow::keyPressEvent(event);
    } else if (dragged_ == nullptr) {
        PickUp(pole);
    } else if (byKeyboard_) {
        PutDown(pole);
    }
}

void MainWindow::PickUp(int pole) {
    const auto& stack = game_.PaalNr(pole).Ringen();
    if (stack.empty()) {
        return;
    }
    const PictureBox& picture = stack.back()->RingShape();
    RingPicture* ring = picRing_[static_cast<std::size_t>(RingNumber(*stack.back()) - 1)];
    if (picture.DragMode != 1 || !picture.Visible) {
        return;
    }
    dragged_ = ring;
    byKeyboard_ = true;
    // Lifted just above its pole's stack, as a drag shows it.
    const double lifted = PaalBase::SlotTop(stack.size() + 1);
    outline_->setGeometry(ring->x(), ToPixels(lifted), ring->width(), ring->height());
    outline_->setAccessibleName(QStringLiteral("Ring %1 lifted").arg(ring->Number()));
    outline_->raise();
    outline_->show();
    game_.Form_DragOver(game_.ColumnCentre(pole));
    Refresh();
}

void MainWindow::PutDown(int pole) {
    const std::string name = dragged_->objectName().toStdString();
    CancelDrag();
    game_.Form_DragOver(game_.ColumnCentre(pole));
    game_.Form_DragDrop(name);
    Refresh();
}

void MainWindow::DescribeForScreenReaders() {
    const auto setName = [](QWidget* widget, const QString& name) {
        if (widget->accessibleName() != name) {
            widget->setAccessibleName(name);
        }
    };
    QStringList board;
    for (int p = 1; p <= 4; ++p) {
        QStringList rings;
        for (const auto& ring : game_.PaalNr(p).Ringen()) {
            rings << QString::number(RingNumber(*ring));
        }
        const QString pole = rings.isEmpty()
                                 ? QStringLiteral("Pole %1: no rings").arg(p)
                                 : QStringLiteral("Pole %1: rings %2").arg(p).arg(rings.join(", "));
        setName(shpPaal_[static_cast<std::size_t>(p - 1)], pole);
        if (p <= PolesInPlay(game_.Level())) {
            board << pole;
        }
        for (const auto& ring : game_.PaalNr(p).Ringen()) {
            const int number = RingNumber(*ring);
            const bool free = ring->RingShape().DragMode == 1;
            setName(picRing_[static_cast<std::size_t>(number - 1)],
                    QStringLiteral("Ring %1 on pole %2%3")
                        .arg(number)
                        .arg(p)
                        .arg(free ? QStringLiteral(", can be moved") : QString()));
        }
    }
    setName(board_, FromGameText(game_.Window.Caption) + QStringLiteral(". ") +
                        board.join(QStringLiteral(". ")));
    for (std::size_t i = 0; i < 3; ++i) {
        setName(panels_[i], panels_[i]->text());
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (dragged_ != nullptr && event->type() == QEvent::MouseMove &&
        !(static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton)) {
        CancelDrag();
    }
    if (solving_ &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride ||
         event->type() == QEvent::MouseButtonPress)) {
        StopSolving(); // any key or click stops the solver where it is
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        CancelDrag();
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
    CancelDrag();
    game_.mnuUndo_Click();
    Refresh();
}

void MainWindow::mnuRedo_Click() {
    CancelDrag();
    game_.mnuRedo_Click();
    Refresh();
}

void MainWindow::mnuRestart_Click() {
    CancelDrag();
    game_.mnuRestart_Click();
    Refresh();
}

void MainWindow::mnuHint_Click() {
    game_.mnuHint_Click();
    Refresh();
}

void MainWindow::mnuSolve_Click() {
    CancelDrag();
    if (!game_.CanSolve()) {
        return;
    }
    solving_ = true;
    WatchApplication();
    SolveTick();
}

void MainWindow::SolveTick() {
    if (!solving_) {
        return;
    }
    // The timer waits while a move runs: a finished level opens its messages inside it.
    const bool more = game_.SolveStep();
    if (more && solving_) {
        solveTimer_.start();
    } else {
        StopSolving();
    }
    Refresh();
}

void MainWindow::StopSolving() {
    if (!solving_) {
        return;
    }
    solving_ = false;
    solveTimer_.stop();
    WatchApplication();
    mnuSolve_->setEnabled(game_.CanSolve());
}

} // namespace pylons
