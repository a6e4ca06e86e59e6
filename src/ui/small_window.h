#pragma once

#include "game/layout.h"
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

// A control at its place in window units.
inline void Place(QWidget& control, const layout::Box& box) {
    control.setGeometry(ToPixels(box.left), ToPixels(box.top), ToPixels(box.width),
                        ToPixels(box.height));
}

inline QPushButton* AddOkButton(QDialog& window, const layout::Box& box) {
    auto* ok = new QPushButton(QStringLiteral("OK"), &window);
    ok->setObjectName(QStringLiteral("cmdOk"));
    Place(*ok, box);
    ok->setDefault(true);
    return ok;
}

} // namespace pylons
