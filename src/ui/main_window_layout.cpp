// The main window's controls: its menus, the board with its poles, buttons and rings, and the
// status bar, built and laid out as the game describes them.

#include "game/layout.h"
#include "game/texts.h"
#include "ui/board_widgets.h"
#include "ui/main_window.h"
#include "ui/text_conversion.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>

#include <algorithm>
#include <map>

namespace pylons {

using namespace layout;

void MainWindow::BuildMenus() {
    const std::map<texts::Command, void (MainWindow::*)()> handlers = {
        {texts::Command::Save, &MainWindow::mnuSave_Click},
        {texts::Command::Load, &MainWindow::mnuLoad_Click},
        {texts::Command::HiScore, &MainWindow::mnuHiScore_Click},
        {texts::Command::Quit, &MainWindow::mnuQuit_Click},
        {texts::Command::Undo, &MainWindow::mnuUndo_Click},
        {texts::Command::Redo, &MainWindow::mnuRedo_Click},
        {texts::Command::Restart, &MainWindow::mnuRestart_Click},
        {texts::Command::Hint, &MainWindow::mnuHint_Click},
        {texts::Command::Solve, &MainWindow::mnuSolve_Click},
        {texts::Command::Web, &MainWindow::mnuWeb_Click},
        {texts::Command::About, &MainWindow::mnuAbout_Click},
    };
    for (const texts::Menu& entry : texts::Menus()) {
        QMenu* menu = menuBar()->addMenu(FromGameText(entry.caption));
        menu->setObjectName(FromGameText(entry.name));
        for (const texts::MenuItem& item : entry.items) {
            if (item.separatorBefore) {
                menu->addSeparator();
            }
            QAction* action =
                menu->addAction(FromGameText(item.caption), this, handlers.at(item.command));
            action->setObjectName(FromGameText(item.name));
            action->setShortcut(QKeySequence(FromGameText(item.shortcut)));
            actions_[item.command] = action;
        }
        // Opening any menu stops the solver where it is.
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::StopSolving);
    }
    mnuUndo_ = actions_.at(texts::Command::Undo);
    mnuRedo_ = actions_.at(texts::Command::Redo);
    mnuHint_ = actions_.at(texts::Command::Hint);
    mnuSolve_ = actions_.at(texts::Command::Solve);
    menuBar()->installEventFilter(this);
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
        option->setAccessibleName(FromGameText(texts::PoleName(static_cast<int>(i) + 1)));
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

} // namespace pylons
