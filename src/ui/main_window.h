#pragma once

#include "game/frm_main.h"
#include "game/player_input.h"
#include "ui/qt_desktop.h"

#include <QMainWindow>
#include <QPoint>
#include <QTimer>

#include <array>
#include <filesystem>
#include <map>

class QAction;
class QLabel;
class QRadioButton;

namespace pylons {

class Announcer;
class DragOutline;
class PoleShape;
class RingPicture;

// frmMain's window. It maps the mouse, the keys, the menus and its timers to the game's calls
// (through PlayerInput), draws the game's state after every event it forwards and holds no game
// state of its own.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // hiScoreFile is HiScore.Dat, wherever the program keeps it.
    explicit MainWindow(const std::filesystem::path& hiScoreFile);
    ~MainWindow() override;

    const frmMain& Game() const { return game_; }

    // Dragging a ring, as its picture reports the mouse.
    void BeginDrag(RingPicture& ring, QPoint grabOffset);
    void DragMove(QPoint globalPos, Qt::MouseButtons buttons);
    void DragRelease(QPoint globalPos);
    void CancelDrag();
    bool Dragging() const { return input_.Lifted().has_value(); }
    bool HoldingByKeyboard() const { return Dragging() && input_.Lifted()->byKeyboard; }

    // Places every control as the game says.
    void Refresh();

    void mnuSave_Click();
    void mnuLoad_Click();
    void mnuHiScore_Click();
    void mnuQuit_Click();
    void mnuWeb_Click();
    void mnuAbout_Click();
    void mnuUndo_Click();
    void mnuRedo_Click();
    void mnuRestart_Click();
    void mnuHint_Click();
    // Plays the shortest way, a move every half second, until the level ends or the player
    // presses a key, clicks or opens a menu.
    void mnuSolve_Click();
    void StopSolving();
    bool Solving() const { return input_.Solving(); }

protected:
    void changeEvent(QEvent* event) override;
    // Keys 1 to 4 pick up the top ring of that pole and put it down on another; Escape puts it
    // back. Through the same calls as a drag, so the rules and the count are the same.
    void keyPressEvent(QKeyEvent* event) override;
    // While a ring is dragged: a mouse move anywhere without the button held ends the drag.
    // While Solve plays: any key or click stops it. On the menu bar in keyboard mode, a plain
    // letter is a menu's access key, not an item's shortcut.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildBoard();
    void LayOutStatusBar(int width);
    void timElapsed_Timer();
    // Whether a point lies on the window's own surface: the board or a pole (or the small pole
    // buttons above them), not a ring, not the status bar, not outside the window.
    bool OverWindowSurface(QPoint globalPos) const;
    float TwipsX(QPoint globalPos) const;
    // Names for screen readers, as the game describes the poles, rings and panels.
    void DescribeForScreenReaders();
    void ShowOutline();
    void ShowHint();
    void SolveTick();
    // The application-wide filter is on while the mouse drags a ring or the solver plays.
    void WatchApplication();

    QtDesktop desktop_;
    frmMain game_;
    PlayerInput input_{game_};
    QStringList toSay_; // announcements not yet said: said together once the event is handled
    QWidget* board_ = nullptr;
    std::array<QRadioButton*, 4> optPaal_{};
    std::array<PoleShape*, 4> shpPaal_{};
    std::array<RingPicture*, 9> picRing_{};
    DragOutline* outline_ = nullptr;
    QWidget* stbStatusBar_ = nullptr;
    std::array<QLabel*, 3> panels_{};
    QTimer timElapsed_;
    int centrings_ = 0;

    std::map<texts::Command, QAction*> actions_;
    QAction* mnuUndo_ = nullptr;
    QAction* mnuRedo_ = nullptr;
    QAction* mnuHint_ = nullptr;
    QAction* mnuSolve_ = nullptr;
    QLabel* hintText_ = nullptr;
    Announcer* announcer_ = nullptr;
    QTimer hintTimer_;
    QTimer solveTimer_;

    QPoint grabOffset_;
    QPoint lastDragPos_;
};

} // namespace pylons
