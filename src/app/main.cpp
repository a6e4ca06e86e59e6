#include "ui/icon.h"
#include "ui/main_window.h"
#include "ui/platform.h"

#if defined(PYLONS_EXIT_ON_FIRST_PAINT)
#include "app/first_paint.h"
#endif

#include "app/score_place.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

std::filesystem::path ToPath(const QString& path) {
#if defined(_WIN32)
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

} // namespace

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
    pylons::PrepareDesktopPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pylons"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setDesktopFileName(QStringLiteral("com.example.Pylons"));
    QApplication::setWindowIcon(pylons::AppIcon());

    // The high scores live beside the program where they can, otherwise with the player's data.
    const std::filesystem::path programDir = ToPath(QCoreApplication::applicationDirPath());
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    const std::filesystem::path playerFolder =
        ToPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
#else
    const std::filesystem::path playerFolder =
        pylons::FreedesktopDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
#endif
    const pylons::ScorePlace place = pylons::ChooseScorePlace(programDir, playerFolder);
    pylons::PrepareScoreFile(place);
    pylons::MainWindow window(place.file);
#if defined(PYLONS_EXIT_ON_FIRST_PAINT)
    new pylons::ExitOnFirstPaint(window.centralWidget());
#endif
    window.show();
    return QApplication::exec();
}
