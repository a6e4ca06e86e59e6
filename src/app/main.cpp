#include "ui/icon.h"
#include "ui/main_window.h"

#if defined(PYLONS_EXIT_ON_FIRST_PAINT)
#include "app/first_paint.h"
#endif

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
#if defined(Q_OS_LINUX)
    // Without a display Qt would only abort with a hint about plugins; say it plainly.
    const bool display = std::getenv("DISPLAY") != nullptr ||
                         std::getenv("WAYLAND_DISPLAY") != nullptr ||
                         std::getenv("QT_QPA_PLATFORM") != nullptr;
    if (!display) {
        std::fputs("Pylons needs a desktop to show its window: no display was found "
                   "(neither DISPLAY nor WAYLAND_DISPLAY is set).\n",
                   stderr);
        return 1;
    }
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pylons"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setDesktopFileName(QStringLiteral("com.example.Pylons"));
    QApplication::setWindowIcon(pylons::AppIcon());

    // The high scores live beside the program.
    const QString programDir = QCoreApplication::applicationDirPath();
    pylons::MainWindow window(QFile::encodeName(programDir).toStdString());
#if defined(PYLONS_EXIT_ON_FIRST_PAINT)
    new pylons::ExitOnFirstPaint(window.centralWidget());
#endif
    window.show();
    return QApplication::exec();
}
