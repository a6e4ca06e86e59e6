// The yardstick: a bare Qt main window of the game's size, with a menu bar of two empty menus
// and nothing else, started the way the game starts.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

#if defined(PYLONS_EXIT_ON_FIRST_PAINT)
#include "app/first_paint.h"
#endif

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare - Level 3"));
    window.menuBar()->addMenu(QStringLiteral("&File"));
    window.menuBar()->addMenu(QStringLiteral("&Help"));
    auto* central = new QWidget(&window);
    central->setFixedSize(267, 305); // the game's client area at level 3
    window.setCentralWidget(central);
#if defined(PYLONS_EXIT_ON_FIRST_PAINT)
    new pylons::ExitOnFirstPaint(central);
#endif
    window.show();
    return QApplication::exec();
}
