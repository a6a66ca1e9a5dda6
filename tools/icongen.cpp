// Draws the application icon: a wood-grain card back leaning against a turned card that shows a Koch
// snowflake, as in a game in progress. One description of the shapes is written twice, as a scalable SVG
// and as PNGs rendered by Qt's raster painter, so that every size shows the same drawing.
//
//   icongen <icon name> <output directory> <size> [<size> ...]
//
// writes <dir>/scalable/apps/<name>.svg and <dir>/<size>x<size>/apps/<name>.png for each size.

#include "artwork.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTextStream>
#include <QTransform>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// The drawing is laid out on a 256 x 256 canvas.
constexpr double canvas = 256;

struct Shape
{
    QPolygonF outline; // in the canvas's units
    QColor fill;
    QColor stroke; // invalid: none
    double strokeWidth = 0;
};

QPolygonF roundedRect(double x, double y, double w, double h, double r)
{
    QPainterPath path;
    path.addRoundedRect(x, y, w, h, r, r);
    return path.toFillPolygon();
}

// One of the card back's shades.
QColor woodShade(int shade)
{
    const artwork::Rgb wood = artwork::woodShade(shade);
    return QColor::fromRgb(wood.r, wood.g, wood.b);
}

QPolygonF kochSnowflake(QPointF centre, double radius)
{
    QPolygonF points;
    for (const std::complex<double> point : artwork::kochSnowflake(radius, 3))
        points << centre + QPointF(point.real(), point.imag());
    return points;
}

std::vector<Shape> drawing()
{
    std::vector<Shape> shapes;
    const QColor outline(0x2A, 0x1C, 0x0E);

    // The card back behind, leaning left: vertical wood streaks in the back's shades.
    const QTransform backTilt = QTransform().translate(82, 132).rotate(-10).translate(-82, -132);
    const QPolygonF card = roundedRect(26, 46, 112, 172, 12);
    shapes.push_back({backTilt.map(card), woodShade(10), {}, 0});
    constexpr int streaks = 14;
    for (int i = 0; i < streaks; ++i) {
        // A fixed, irregular choice of shades, so the grain looks grown rather than ruled.
        const int shade = (i * 7 + (i % 3) * 5) % artwork::woodShades;
        const double x = 26 + 112.0 * i / streaks;
        const QPolygonF streak = QPolygonF(QRectF(x, 46, 112.0 / streaks + 0.5, 172)).intersected(card);
        shapes.push_back({backTilt.map(streak), woodShade(shade), {}, 0});
    }
    shapes.push_back({backTilt.map(card), Qt::transparent, outline, 6});

    // The turned card in front, leaning right: an ice-blue snowflake on the night sky.
    const QTransform faceTilt = QTransform().translate(170, 126).rotate(8).translate(-170, -126);
    shapes.push_back(
        {faceTilt.map(roundedRect(114, 40, 112, 172, 12)), QColor(0x0A, 0x10, 0x28), outline, 6});
    shapes.push_back(
        {faceTilt.map(kochSnowflake({170, 130}, 46)), QColor(0x8C, 0xCC, 0xF2), QColor(0xE6, 0xFA, 0xFF), 3});
    return shapes;
}

QString svgColour(const QColor &colour)
{
    return colour.alpha() == 0 ? QStringLiteral("none") : colour.name(QColor::HexRgb);
}

bool writeSvg(const QString &path, const std::vector<Shape> &shapes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&file);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << canvas << "\" height=\"" << canvas
        << "\" viewBox=\"0 0 " << canvas << ' ' << canvas << "\">\n";
    for (const Shape &shape : shapes) {
        out << "  <path d=\"";
        for (qsizetype i = 0; i < shape.outline.size(); ++i)
            out << (i == 0 ? "M" : " L") << QString::number(shape.outline[i].x(), 'f', 2) << ','
                << QString::number(shape.outline[i].y(), 'f', 2);
        out << " Z\" fill=\"" << svgColour(shape.fill) << '"';
        if (shape.stroke.isValid())
            out << " stroke=\"" << svgColour(shape.stroke) << "\" stroke-width=\"" << shape.strokeWidth
                << "\" stroke-linejoin=\"round\"";
        out << "/>\n";
    }
    out << "</svg>\n";
    return out.status() == QTextStream::Ok && file.flush();
}

QImage render(const std::vector<Shape> &shapes, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / canvas, size / canvas);
    for (const Shape &shape : shapes) {
        painter.setBrush(shape.fill);
        if (shape.stroke.isValid())
            painter.setPen(QPen(shape.stroke, shape.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        else
            painter.setPen(Qt::NoPen);
        painter.drawPolygon(shape.outline);
    }
    painter.end();
    return image;
}

// The pixels row by row, premultiplied red, green, blue and alpha bytes in that order, for the windows to
// show without decoding anything. The order of the bytes is fixed, not the build machine's, so that a program
// built for a processor of the other byte order reads them right.
bool writePixels(const QString &path, const QImage &argb)
{
    const QImage image = argb.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    QFile file(path);
    return file.open(QIODevice::WriteOnly)
        && file.write(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes())
        == image.sizeInBytes()
        && file.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: icongen <icon name> <theme directory> <pixels directory> <size> [<size> ...]\n"
                     "  the SVG and a PNG of each size in the theme's layout; a size marked with a\n"
                     "  trailing + also as raw pixels, <pixels directory>/<size>.rgba\n");
        return 2;
    }
    const QString name = QString::fromLocal8Bit(argv[1]);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    const QDir pixels(QString::fromLocal8Bit(argv[3]));
    const std::vector<Shape> shapes = drawing();

    bool ok = out.mkpath(QStringLiteral("scalable/apps")) && pixels.mkpath(QStringLiteral("."))
        && writeSvg(out.filePath(QStringLiteral("scalable/apps/%1.svg").arg(name)), shapes);
    for (int i = 4; ok && i < argc; ++i) {
        QByteArray argument(argv[i]);
        const bool raw = argument.endsWith('+');
        const int size = argument.chopped(raw ? 1 : 0).toInt();
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QImage image = size > 0 ? render(shapes, size) : QImage();
        ok = !image.isNull() && out.mkpath(folder)
            && image.save(out.filePath(folder + QStringLiteral("/%1.png").arg(name)), "PNG")
            && (!raw || writePixels(pixels.filePath(QStringLiteral("%1.rgba").arg(size)), image));
    }
    if (!ok)
        std::fprintf(stderr, "icongen: cannot write the icons into %s\n", argv[2]);
    return ok ? 0 : 1;
}
