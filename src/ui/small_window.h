#pragma once

#include "ui/board_widgets.h"

#include <QDialog>
#include <QPushButton>
#include <QString>

namespace pylons {

// The frame the game's small windows share: a fixed dialog border with a close button and no
// minimise or maximise button, a client area in window units, and an "OK" default button.
inline void SetUpSmallWindow(QDialog& window, const char* name, const QString& title,
                             int widthTwips, int heightTwips) {
    window.setObjectName(QLatin1String(name));
    window.setWindowTitle(title);
    window.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    window.setFixedSize(ToPixels(widthTwips), ToPixels(heightTwips));
}

inline QPushButton* AddOkButton(QDialog& window, int leftTwips, int topTwips) {
    auto* ok = new QPushButton(QStringLiteral("OK"), &window);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setGeometry(ToPixels(leftTwips), ToPixels(topTwips), ToPixels(1095), ToPixels(375));
    ok->setDefault(true);
    return ok;
}

} // namespace pylons
