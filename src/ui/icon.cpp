#include "ui/icon.h"

#include <QIconEngine>
#include <QPainter>

#include <algorithm>
#include <map>

namespace pylons {

QImage IconImage(int size, IconColours colours) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
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

namespace {

// Draws the icon at whatever size is asked for, so that it is sharp at every scale; it keeps
// what it drew, and needs none of Qt's shared pixmap cache (whose clean-up would wake the game
// half a minute after it starts).
class TowerIconEngine final : public QIconEngine {
public:
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::max(1, std::min(size.width(), size.height()));
        auto drawn = pixmaps_.find(side);
        if (drawn == pixmaps_.end()) {
            const IconColours colours = side <= 32 ? IconColours::Sixteen : IconColours::Full;
            drawn = pixmaps_.emplace(side, QPixmap::fromImage(IconImage(side, colours))).first;
        }
        return drawn->second;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        painter->drawPixmap(
            rect, pixmap(rect.size() * painter->device()->devicePixelRatio(), mode, state));
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        // Enough for a title bar and a task bar, also at twice the scale.
        return {QSize(16, 16), QSize(32, 32), QSize(48, 48), QSize(64, 64)};
    }
    QIconEngine* clone() const override { return new TowerIconEngine(*this); }
    QString key() const override { return QStringLiteral("pylons-tower"); }

private:
    std::map<int, QPixmap> pixmaps_;
};

} // namespace

QIcon AppIcon() {
    return QIcon(new TowerIconEngine);
}

} // namespace pylons
