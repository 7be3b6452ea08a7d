// Draws Starwick's pictures and its link cursor and writes them as PNG files:
//
//   make_artwork <resources-folder> [<contact-sheet.png>]
//
// writes <resources-folder>/pict/168.png ... 191.png, <resources-folder>/curs/200.png and the
// installed program's icon, <resources-folder>/icons/hicolor/<size>x<size>/apps/starwick.png; with a
// second argument it also writes a contact sheet that shows every picture composed with its mask
// the way the program draws it, enlarged, on light and dark grounds, and the picture frame put
// together at its size in the main window.
//
// A masked picture is drawn once with transparency, then split in two: the mask (black opaque,
// white transparent, greys between) and an opaque picture whose colours run on past the shape's
// edge, so that the antialiased rim takes the shape's own colour rather than a halo.

#include "artwork.h"

#include "platform/graphics.h"
#include "platform/picture.h"
#include "platform/resources.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace {

using namespace Starwick;
using namespace Starwick::Artwork;

struct Masked
{
    QImage picture;
    QImage mask;
};

Masked split(const QImage& art)
{
    const QImage source = art.convertToFormat(QImage::Format_ARGB32);
    const int w = source.width();
    const int h = source.height();
    QImage mask(w, h, QImage::Format_Grayscale8);
    QImage colours(w, h, QImage::Format_RGB32);
    std::vector<bool> known(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb pixel = source.pixel(x, y);
            mask.setPixel(x, y, qRgb(255 - qAlpha(pixel), 255 - qAlpha(pixel), 255 - qAlpha(pixel)));
            // Nearly clear pixels carry coarse colours; take the neighbours' instead.
            known[size_t(y) * size_t(w) + size_t(x)] = qAlpha(pixel) >= 24;
            colours.setPixel(x, y, qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel)));
        }
    }
    for (int pass = 0; pass < std::max(w, h); ++pass) {
        std::vector<bool> nowKnown = known;
        bool changed = false;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (known[size_t(y) * size_t(w) + size_t(x)])
                    continue;
                int r = 0, g = 0, b = 0, n = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= w || ny >= h || !known[size_t(ny) * size_t(w) + size_t(nx)])
                            continue;
                        const QRgb c = colours.pixel(nx, ny);
                        r += qRed(c), g += qGreen(c), b += qBlue(c), ++n;
                    }
                }
                if (n > 0) {
                    colours.setPixel(x, y, qRgb(r / n, g / n, b / n));
                    nowKnown[size_t(y) * size_t(w) + size_t(x)] = true;
                    changed = true;
                }
            }
        }
        known.swap(nowKnown);
        if (!changed)
            break;
    }
    return {colours, mask};
}

// The frame around the picture area, drawn whole at its size in the main window (500 x 375,
// edges 10 pixels thick) from the distance to its rounded outer edge, so that every edge is the
// same along its length and the corners follow the curve. Light falls from the upper left.
QImage frame()
{
    const int w = 500, h = 375;
    const double radius = 9.0;
    auto distanceInside = [&](double px, double py, QPointF* normal) {
        const double hx = w / 2.0, hy = h / 2.0;
        const double qx = std::abs(px - hx) - (hx - radius);
        const double qy = std::abs(py - hy) - (hy - radius);
        const double sx = px < hx ? -1 : 1, sy = py < hy ? -1 : 1;
        double outside;
        if (qx > 0 && qy > 0) {
            const double len = std::hypot(qx, qy);
            outside = len - radius;
            *normal = QPointF(sx * qx / len, sy * qy / len);
        } else {
            outside = std::max(qx, qy) - radius;
            *normal = qx > qy ? QPointF(sx, 0) : QPointF(0, sy);
        }
        return -outside;
    };
    struct Stop
    {
        double at;
        QColor color;
    };
    // Across the band from the outside in: a faint shadow, the outline, a bright rim, the mat,
    // then a shade and a line where the picture area begins.
    const Stop stops[] = {
        {0.0, QColor(40, 46, 56, 26)}, {0.9, QColor(40, 46, 56, 60)}, {1.2, QColor(132, 138, 148)},
        {1.9, QColor(150, 156, 166)},  {2.3, QColor(255, 255, 255)},  {3.2, QColor(252, 252, 253)},
        {7.6, QColor(229, 231, 235)},  {8.4, QColor(214, 217, 222)},  {9.2, QColor(178, 183, 191)},
        {10.0, QColor(166, 171, 180)},
    };
    auto profile = [&](double d, QPointF normal) {
        if (d < 0 || d >= 10)
            return QColor(0, 0, 0, 0);
        int i = 0;
        while (i + 2 < int(std::size(stops)) && stops[i + 1].at <= d)
            ++i;
        const Stop& a = stops[i];
        const Stop& b = stops[i + 1];
        const double t = std::clamp((d - a.at) / (b.at - a.at), 0.0, 1.0);
        auto mix = [t](int x, int y) { return x + (y - x) * t; };
        double red = mix(a.color.red(), b.color.red());
        double green = mix(a.color.green(), b.color.green());
        double blue = mix(a.color.blue(), b.color.blue());
        const double alpha = mix(a.color.alpha(), b.color.alpha());
        // The mat (not the lines) is lit from the upper left: brighter above and left.
        if (d > 2.0 && d < 8.5) {
            const double light = -(normal.x() * 0.45 + normal.y() * 0.89);
            red += light * 7, green += light * 7, blue += light * 6;
        }
        return QColor(std::clamp(int(std::lround(red)), 0, 255), std::clamp(int(std::lround(green)), 0, 255),
                      std::clamp(int(std::lround(blue)), 0, 255), std::clamp(int(std::lround(alpha)), 0, 255));
    };
    QImage image(w, h, QImage::Format_ARGB32);
    const int samples = 4;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (x >= 11 && y >= 11 && x < w - 11 && y < h - 11) {
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
                continue;
            }
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    QPointF normal;
                    const double d = distanceInside(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples, &normal);
                    const QColor c = profile(d, normal);
                    r += c.red() * c.alpha(), g += c.green() * c.alpha(), b += c.blue() * c.alpha();
                    a += c.alpha();
                }
            }
            const int n = samples * samples;
            image.setPixel(x, y, a > 0 ? qRgba(qRound(r / a), qRound(g / a), qRound(b / a), qRound(a / n)) : 0);
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool save(const QImage& image, const QString& path)
{
    if (image.save(path, "PNG"))
        return true;
    QTextStream(stderr) << "cannot write " << path << '\n';
    return false;
}

// The contact sheet: the frame at its size with a sample picture, then every picture composed
// with its mask (through the program's own picture code) at four times its size.
QImage contactSheet(const QString& pict, const QString& curs)
{
    auto open = [&](int id) { return platform::Picture::Open(QStringLiteral("%1/%2.png").arg(pict).arg(id)); };
    QImage sheet(1100, 1000, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(239, 239, 239));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QPoint o(20, 20);
    p.fillRect(QRect(o + QPoint(1, 1), QSize(498, 373)), QColor(243, 243, 243));
    QLinearGradient night(0, 60, 0, 415);
    night.setColorAt(0, QColor(10, 14, 40));
    night.setColorAt(1, QColor(40, 60, 120));
    p.fillRect(QRect(o + QPoint(10, 10), QSize(480, 355)), night);
    auto stretched = [&](int id, QRect r) { p.drawImage(r, open(id)->composed()); };
    stretched(168, QRect(o + QPoint(10, 0), QSize(480, 10)));
    stretched(170, QRect(o + QPoint(490, 10), QSize(10, 355)));
    stretched(169, QRect(o + QPoint(10, 365), QSize(480, 10)));
    stretched(171, QRect(o + QPoint(0, 10), QSize(10, 355)));
    auto composed = [&](int id, int maskId) {
        auto picture = open(id);
        auto mask = open(maskId);
        platform::Picture& target = picture->Mask();
        {
            platform::Graphics g = target.graphics();
            g.DrawPicture(*mask, 0, 0);
        }
        return picture->composed();
    };
    p.drawImage(o + QPoint(0, 0), composed(175, 177));
    p.drawImage(o + QPoint(490, 0), composed(173, 179));
    p.drawImage(o + QPoint(490, 365), composed(172, 174));
    p.drawImage(o + QPoint(0, 365), composed(178, 176));
    // The frame's top-left corner enlarged.
    p.drawImage(QRect(560, 20, 160, 160), sheet.copy(QRect(o, QSize(20, 20))));

    struct Entry
    {
        int id;
        int maskId;
    };
    const Entry entries[] = {{181, 180}, {185, 184}, {183, 182}, {186, 187}, {188, 189}, {191, 190}};
    int x = 20;
    int y = 420;
    int rowHeight = 0;
    for (const Entry& e : entries) {
        const QImage art = composed(e.id, e.maskId);
        const QSize big = art.size() * 3;
        if (x + big.width() > 1080) {
            x = 20;
            y += rowHeight + 20;
            rowHeight = 0;
        }
        p.fillRect(QRect(QPoint(x, y), big), QColor(250, 250, 250));
        p.drawImage(QRect(QPoint(x, y), big), art);
        const QPoint small(x, y + big.height() + 4);
        p.fillRect(QRect(small, art.size()), QColor(40, 40, 44));
        p.drawImage(small, art);
        p.drawImage(small + QPoint(art.width() + 4, 0), art);
        rowHeight = std::max(rowHeight, big.height() + 4 + art.height());
        x += big.width() + 20;
    }
    const QImage hand(curs + QStringLiteral("/200.png"));
    const QRect handBig(760, 20, 256, 256);
    p.fillRect(handBig, QColor(200, 210, 225));
    p.drawImage(handBig, hand);
    p.setPen(Qt::red);
    p.drawRect(QRect(handBig.topLeft() + platform::Resources::cursorHotSpot(200) * 8, QSize(7, 7)));
    p.drawImage(QPoint(1030, 20), hand);
    return sheet;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: make_artwork <resources-folder> [<contact-sheet.png>]\n";
        return 2;
    }
    const QString pict = args.at(1) + QStringLiteral("/pict");
    const QString curs = args.at(1) + QStringLiteral("/curs");
    QDir().mkpath(pict);
    QDir().mkpath(curs);
    auto path = [&](int id) { return QStringLiteral("%1/%2.png").arg(pict).arg(id); };

    bool ok = true;
    const QImage whole = frame();
    ok &= save(whole.copy(200, 0, 32, 10), path(168));   // top edge
    ok &= save(whole.copy(200, 365, 32, 10), path(169)); // bottom edge
    ok &= save(whole.copy(490, 160, 10, 32), path(170)); // right edge
    ok &= save(whole.copy(0, 160, 10, 32), path(171));   // left edge
    struct Corner
    {
        int id;
        int maskId;
        QPoint at;
    };
    const Corner corners[] = {{172, 174, {490, 365}}, {173, 179, {490, 0}}, {175, 177, {0, 0}}, {178, 176, {0, 365}}};
    for (const Corner& corner : corners) {
        const Masked m = split(whole.copy(QRect(corner.at, QSize(10, 10))));
        ok &= save(m.picture, path(corner.id));
        ok &= save(m.mask, path(corner.maskId));
    }
    struct Art
    {
        int id;
        int maskId;
        QImage image;
    };
    const Art arts[] = {{181, 180, icon()},        {183, 182, badge()},       {185, 184, logo()},
                        {186, 187, generalIcon()}, {188, 189, networkIcon()}, {191, 190, typesIcon()}};
    for (const Art& art : arts) {
        const Masked m = split(art.image);
        ok &= save(m.picture, path(art.id));
        ok &= save(m.mask, path(art.maskId));
    }
    ok &= save(cursorHand(), curs + QStringLiteral("/200.png"));
    // The application icon as an installed program shows it in the desktop's menus.
    for (const int size : {32, 48, 64, 128, 256}) {
        const QString apps = QStringLiteral("%1/icons/hicolor/%2x%2/apps").arg(args.at(1)).arg(size);
        QDir().mkpath(apps);
        ok &= save(icon(size), apps + QStringLiteral("/starwick.png"));
    }
    if (ok && args.size() > 2)
        ok &= save(contactSheet(pict, curs), args.at(2));
    return ok ? 0 : 1;
}
