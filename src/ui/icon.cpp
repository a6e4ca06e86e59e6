#include "ui/icon.h"

#include <QPainter>

namespace pylons {

QImage IconImage(int size, IconColours colours) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const bool smooth = colours == IconColours::Full;
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    painter.scale(size / 32.0, size / 32.0);

    const bool mono = colours == IconColours::Two;
    const QColor outline = Qt::black;
    // Sixteen-colour choices: olive base, maroon pole, red, yellow and lime rings.
    const QColor base = mono ? Qt::black : smooth ? QColor(140, 100, 40) : QColor(128, 128, 0);
    const QColor pole = mono ? Qt::black : smooth ? QColor(150, 100, 55) : QColor(128, 0, 0);
    const QColor rings[3] = {
        mono     ? Qt::white
        : smooth ? QColor(255, 128, 128)
                 : QColor(255, 0, 0),
        mono     ? Qt::white
        : smooth ? QColor(255, 255, 128)
                 : QColor(255, 255, 0),
        mono     ? Qt::white
        : smooth ? QColor(128, 255, 128)
                 : QColor(0, 255, 0),
    };

    painter.setPen(Qt::NoPen);
    painter.setBrush(base);
    painter.drawRect(QRectF(1, 27, 30, 4));
    painter.setBrush(pole);
    painter.drawRect(QRectF(14.5, 3, 3, 24));

    const QRectF ringRects[3] = {QRectF(4, 21, 24, 6), QRectF(7, 15, 18, 6), QRectF(10, 9, 12, 6)};
    const qreal penWidth = smooth ? 1.0 : 32.0 / size;
    painter.setPen(QPen(outline, penWidth));
    for (int i = 0; i < 3; ++i) {
        painter.setBrush(rings[i]);
        const QRectF r =
            ringRects[i].adjusted(penWidth / 2, penWidth / 2, -penWidth / 2, -penWidth / 2);
        if (smooth) {
            painter.drawRoundedRect(r, 2, 2);
        } else {
            painter.drawRect(r);
        }
    }
    painter.end();
    if (!smooth) {
        // No shade between the palette's colours.
        for (int y = 0; y < size; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < size; ++x) {
                line[x] = qAlpha(line[x]) < 128 ? 0 : (line[x] | 0xFF000000u);
            }
        }
    }
    return image;
}

QIcon AppIcon() {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(IconImage(16, IconColours::Sixteen)));
    icon.addPixmap(QPixmap::fromImage(IconImage(32, IconColours::Sixteen)));
    // Enough for a title bar and a task bar, also at twice the scale; the installed icon theme
    // holds the larger sizes, and drawing them at every start would only slow it down.
    for (const int size : {48, 64}) {
        icon.addPixmap(QPixmap::fromImage(IconImage(size, IconColours::Full)));
    }
    return icon;
}

} // namespace pylons
