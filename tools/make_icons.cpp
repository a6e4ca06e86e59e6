// Draws the game's icon into the files an installation needs: PNGs for the hicolor theme and a
// Windows .ico holding the three classic images and the smooth ones the Windows shell shows
// (Start menu, the list of installed apps, a folder's large icons).

#include "ui/icon.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QtEndian>

#include <cstdio>
#include <vector>

namespace {

QByteArray Png(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// An image reduced to its own colours, saved as a PNG with a palette.
QByteArray PalettedPng(const QImage& image) {
    return Png(
        image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither));
}

struct IcoImage {
    int size; // 0 stands for 256
    int colours;
    int bits;
    QByteArray png;
};

// The .ico format: a directory of images, each stored as PNG data.
QByteArray Ico(const std::vector<IcoImage>& images) {
    QByteArray out;
    const auto put16 = [&out](quint16 v) {
        out.append(static_cast<char>(v & 0xFF)).append(static_cast<char>(v >> 8));
    };
    const auto put32 = [&](quint32 v) {
        put16(static_cast<quint16>(v & 0xFFFF));
        put16(static_cast<quint16>(v >> 16));
    };
    put16(0);
    put16(1);
    put16(static_cast<quint16>(images.size()));
    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (const IcoImage& image : images) {
        out.append(static_cast<char>(image.size)).append(static_cast<char>(image.size));
        out.append(static_cast<char>(image.colours)).append('\0');
        put16(1);
        put16(static_cast<quint16>(image.bits));
        put32(static_cast<quint32>(image.png.size()));
        put32(offset);
        offset += static_cast<quint32>(image.png.size());
    }
    for (const IcoImage& image : images) {
        out.append(image.png);
    }
    return out;
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: pylons_make_icons OUTPUT-FOLDER\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QFile::decodeName(argv[1]);
    QDir().mkpath(folder);
    using pylons::IconColours;
    using pylons::IconImage;
    bool ok = true;
    ok &= IconImage(16, IconColours::Sixteen).save(folder + "/16.png");
    ok &= IconImage(32, IconColours::Sixteen).save(folder + "/32.png");
    for (const int size : {48, 64, 128, 256}) {
        ok &= IconImage(size, IconColours::Full).save(folder + QStringLiteral("/%1.png").arg(size));
    }
    ok &= Write(folder + "/pylons.ico",
                Ico({{32, 2, 1, PalettedPng(IconImage(32, IconColours::Two))},
                     {32, 16, 4, PalettedPng(IconImage(32, IconColours::Sixteen))},
                     {16, 16, 4, PalettedPng(IconImage(16, IconColours::Sixteen))},
                     {48, 0, 32, Png(IconImage(48, IconColours::Full))},
                     {0, 0, 32, Png(IconImage(256, IconColours::Full))}}));
    if (!ok) {
        std::fputs("pylons_make_icons: could not write the icons\n", stderr);
        return 1;
    }
    return 0;
}
