#pragma once

// The drawings of Starwick's pictures, for the artwork tool (make_artwork.cpp): each function
// paints one picture with transparency at its size in the program.

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace Starwick::Artwork {

inline QImage blank(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

inline QImage draw(int width, int height, const std::function<void(QPainter&)>& paint)
{
    QImage image = blank(width, height);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    paint(painter);
    return image;
}

// A soft shadow of `art`'s shape: its alpha, blurred by a few box passes, in `color`.
inline QImage shadowOf(const QImage& art, QColor color, int radius, int passes = 3)
{
    const int w = art.width();
    const int h = art.height();
    std::vector<float> alpha(size_t(w) * size_t(h));
    const QImage source = art.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            alpha[size_t(y) * size_t(w) + size_t(x)] = qAlpha(source.pixel(x, y)) / 255.0f;
    std::vector<float> next(alpha.size());
    auto blurAlong = [&](bool horizontal) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                float sum = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int sx = horizontal ? x + k : x;
                    const int sy = horizontal ? y : y + k;
                    if (sx >= 0 && sy >= 0 && sx < w && sy < h)
                        sum += alpha[size_t(sy) * size_t(w) + size_t(sx)];
                }
                next[size_t(y) * size_t(w) + size_t(x)] = sum / float(2 * radius + 1);
            }
        }
        alpha.swap(next);
    };
    for (int i = 0; i < passes; ++i) {
        blurAlong(true);
        blurAlong(false);
    }
    QImage shadow(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            shadow.setPixel(x, y,
                            qRgba(color.red(), color.green(), color.blue(),
                                  qRound(color.alpha() * alpha[size_t(y) * size_t(w) + size_t(x)])));
    return shadow.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

inline QImage withShadow(const QImage& art, QPoint offset, QColor color, int radius)
{
    QImage result = blank(art.width(), art.height());
    QPainter painter(&result);
    painter.drawImage(offset, shadowOf(art, color, radius));
    painter.drawImage(0, 0, art);
    return result;
}

inline QPainterPath star(QPointF centre, double outer, double inner, int points = 4)
{
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const double angle = -M_PI / 2 + i * M_PI / points;
        const double r = i % 2 ? inner : outer;
        const QPointF p(centre.x() + r * std::cos(angle), centre.y() + r * std::sin(angle));
        i ? path.lineTo(p) : path.moveTo(p);
    }
    path.closeSubpath();
    return path;
}

// The application icon: a brass-rimmed round window on a starry sky, a small telescope before it.
// It is drawn on a 64-pixel grid; `size` scales it for the desktop's larger icons.
inline QImage icon(int size = 64)
{
    const double scale = size / 64.0;
    const QImage art = draw(size, size, [scale](QPainter& p) {
        const QTransform grid = QTransform::fromScale(scale, scale);
        p.setTransform(grid);
        const QPointF c(29, 28);
        // Sky.
        QRadialGradient sky(c + QPointF(-6, -8), 30);
        sky.setColorAt(0, QColor(72, 96, 196));
        sky.setColorAt(0.55, QColor(28, 36, 104));
        sky.setColorAt(1, QColor(8, 10, 40));
        p.setPen(Qt::NoPen);
        p.setBrush(sky);
        p.drawEllipse(c, 23, 23);
        p.save();
        QPainterPath window;
        window.addEllipse(c, 23, 23);
        p.setClipPath(window);
        // A faint band of the galaxy across the sky.
        p.translate(c);
        p.rotate(-32);
        QRadialGradient band(QPointF(0, 0), 26);
        band.setColorAt(0, QColor(190, 200, 255, 80));
        band.setColorAt(1, QColor(190, 200, 255, 0));
        p.setBrush(band);
        p.scale(1, 0.28);
        p.drawEllipse(QPointF(0, 0), 30, 30);
        p.setTransform(grid);
        QRandomGenerator random(181);
        for (int i = 0; i < 34; ++i) {
            const QPointF at(c.x() - 22 + random.bounded(44.0), c.y() - 22 + random.bounded(44.0));
            const double size = 0.35 + random.bounded(0.55);
            p.setBrush(QColor(255, 255, 255, 120 + random.bounded(135)));
            p.drawEllipse(at, size, size);
        }
        // A ringed planet.
        const QPointF planet(c.x() - 10, c.y() - 9);
        QRadialGradient body(planet + QPointF(-1.2, -1.2), 4.2);
        body.setColorAt(0, QColor(255, 226, 170));
        body.setColorAt(1, QColor(204, 128, 64));
        p.setBrush(body);
        p.drawEllipse(planet, 3.4, 3.4);
        p.setPen(QPen(QColor(255, 236, 200, 220), 0.9));
        p.setBrush(Qt::NoBrush);
        p.translate(planet);
        p.rotate(-18);
        p.drawEllipse(QPointF(0, 0), 6.4, 1.7);
        p.setTransform(grid);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255));
        p.drawPath(star(QPointF(c.x() + 9, c.y() - 11), 3.6, 0.8));
        p.drawPath(star(QPointF(c.x() - 3, c.y() + 8), 2.2, 0.6));
        p.restore();
        // Brass rim with rivets.
        QLinearGradient brass(c + QPointF(-22, -22), c + QPointF(22, 22));
        brass.setColorAt(0, QColor(255, 233, 160));
        brass.setColorAt(0.45, QColor(214, 160, 62));
        brass.setColorAt(0.75, QColor(150, 98, 30));
        brass.setColorAt(1, QColor(230, 182, 90));
        QPainterPath rim;
        rim.addEllipse(c, 27.5, 27.5);
        rim.addEllipse(c, 23, 23);
        p.setBrush(brass);
        p.drawPath(rim);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(110, 70, 20, 200), 0.8));
        p.drawEllipse(c, 27.5, 27.5);
        p.drawEllipse(c, 23, 23);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 8; ++i) {
            const double angle = M_PI / 8 + i * M_PI / 4;
            const QPointF at(c.x() + 25.3 * std::cos(angle), c.y() + 25.3 * std::sin(angle));
            QRadialGradient rivet(at + QPointF(-0.4, -0.4), 1.3);
            rivet.setColorAt(0, QColor(255, 245, 210));
            rivet.setColorAt(1, QColor(140, 92, 28));
            p.setBrush(rivet);
            p.drawEllipse(at, 1.05, 1.05);
        }
        // Telescope on a tripod, before the window at the lower right, looking up into its sky.
        p.setPen(QPen(QColor(46, 52, 64), 1.6, Qt::SolidLine, Qt::RoundCap));
        const QPointF apex(50, 50);
        p.drawLine(apex, QPointF(43, 63));
        p.drawLine(apex, QPointF(51.5, 63));
        p.drawLine(apex, QPointF(60, 62));
        p.translate(apex + QPointF(0, -2.5));
        p.rotate(36);
        QLinearGradient tube(QPointF(0, -4), QPointF(0, 4));
        tube.setColorAt(0, QColor(250, 251, 255));
        tube.setColorAt(0.5, QColor(206, 212, 224));
        tube.setColorAt(1, QColor(120, 128, 144));
        p.setPen(QPen(QColor(54, 60, 74), 0.9));
        p.setBrush(tube);
        p.drawRoundedRect(QRectF(-15, -3.4, 23, 6.8), 1.2, 1.2);
        QLinearGradient hood(QPointF(0, -4.6), QPointF(0, 4.6));
        hood.setColorAt(0, QColor(120, 170, 240));
        hood.setColorAt(1, QColor(30, 70, 150));
        p.setBrush(hood);
        p.drawRoundedRect(QRectF(-19, -4.4, 5.5, 8.8), 1.2, 1.2);
        p.setBrush(QColor(70, 76, 90));
        p.drawRoundedRect(QRectF(8, -2.2, 4, 4.4), 0.8, 0.8);
        p.setBrush(QColor(44, 48, 58));
        p.drawEllipse(QPointF(-1.5, 3.6), 1.6, 1.6);
    });
    const int step = std::max(1, qRound(scale));
    return withShadow(art, QPoint(1, 2) * step, QColor(0, 0, 20, 110), step);
}

inline QFont font(double pixelSize, int weight = QFont::Normal, double spacing = 0)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(qRound(pixelSize));
    f.setWeight(QFont::Weight(weight));
    f.setHintingPreference(QFont::PreferFullHinting);
    if (spacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return f;
}

// The maker's logo: an orbit that makes a Q, and the name.
inline QImage logo()
{
    return draw(128, 28, [](QPainter& p) {
        const QPointF c(13, 13.5);
        QLinearGradient ring(c + QPointF(-11, -11), c + QPointF(11, 11));
        ring.setColorAt(0, QColor(30, 170, 210));
        ring.setColorAt(1, QColor(104, 76, 214));
        p.setPen(QPen(QBrush(ring), 3.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(c.x() - 9.5, c.y() - 9.5, 19, 19), 320 * 16, 330 * 16);
        p.drawLine(c + QPointF(3.6, 3.6), c + QPointF(10.5, 10.5));
        QRadialGradient sun(c + QPointF(-1, -1), 4.5);
        sun.setColorAt(0, QColor(255, 236, 150));
        sun.setColorAt(1, QColor(244, 150, 40));
        p.setPen(Qt::NoPen);
        p.setBrush(sun);
        p.drawEllipse(c, 3.3, 3.3);
        p.setBrush(QColor(30, 170, 210));
        p.drawEllipse(c + QPointF(-6.9, -6.4), 1.7, 1.7);
        p.setPen(QColor(38, 46, 60));
        p.setFont(font(15, QFont::Bold));
        p.drawText(QPointF(29, 15), QStringLiteral("Quorrel"));
        p.setPen(QColor(96, 106, 124));
        p.setFont(font(8, QFont::DemiBold, 2.6));
        p.drawText(QPointF(30, 25), QStringLiteral("DESIGN"));
    });
}

// The development tool's badge: "Built with" on charcoal, then "Qt" on green.
inline QImage badge()
{
    return draw(128, 26, [](QPainter& p) {
        const QRectF all(0.5, 0.5, 127, 25);
        QPainterPath outline;
        outline.addRoundedRect(all, 5, 5);
        p.setClipPath(outline);
        QLinearGradient dark(0, 0, 0, 26);
        dark.setColorAt(0, QColor(74, 82, 94));
        dark.setColorAt(1, QColor(36, 40, 48));
        p.fillRect(QRectF(0, 0, 84, 26), dark);
        QLinearGradient green(0, 0, 0, 26);
        green.setColorAt(0, QColor(108, 222, 118));
        green.setColorAt(1, QColor(46, 170, 62));
        p.fillRect(QRectF(84, 0, 44, 26), green);
        p.fillRect(QRectF(0, 0, 128, 12), QColor(255, 255, 255, 22));
        p.setClipping(false);
        p.setPen(QPen(QColor(24, 28, 34, 200), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(outline);
        p.setPen(QColor(0, 0, 0, 90));
        p.setFont(font(12, QFont::DemiBold));
        p.drawText(QRectF(0, 1, 84, 26), Qt::AlignCenter, QStringLiteral("Built with"));
        p.setPen(QColor(248, 250, 252));
        p.drawText(QRectF(0, 0, 84, 26), Qt::AlignCenter, QStringLiteral("Built with"));
        p.setFont(font(17, QFont::Bold));
        p.setPen(QColor(0, 80, 20, 110));
        p.drawText(QRectF(84, 1, 44, 26), Qt::AlignCenter, QStringLiteral("Qt"));
        p.setPen(Qt::white);
        p.drawText(QRectF(84, 0, 44, 26), Qt::AlignCenter, QStringLiteral("Qt"));
    });
}

// "General": a steel gear with a blue hub.
inline QImage generalIcon()
{
    const QImage art = draw(32, 32, [](QPainter& p) {
        const QPointF c(15.5, 15.5);
        QPainterPath gear;
        gear.addEllipse(c, 10.5, 10.5);
        for (int i = 0; i < 10; ++i) {
            QPainterPath tooth;
            tooth.addRoundedRect(QRectF(-2.4, -14.2, 4.8, 6.5), 1.2, 1.2);
            QTransform turn;
            turn.translate(c.x(), c.y());
            turn.rotate(i * 36.0);
            gear = gear.united(turn.map(tooth));
        }
        QPainterPath hole;
        hole.addEllipse(c, 4.2, 4.2);
        gear = gear.subtracted(hole);
        QLinearGradient steel(QPointF(4, 2), QPointF(26, 30));
        steel.setColorAt(0, QColor(246, 248, 251));
        steel.setColorAt(0.5, QColor(178, 186, 198));
        steel.setColorAt(1, QColor(104, 114, 130));
        p.setPen(QPen(QColor(64, 72, 86), 1));
        p.setBrush(steel);
        p.drawPath(gear);
        p.setPen(QPen(QColor(255, 255, 255, 150), 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, 7.6, 7.6);
        QRadialGradient hub(c + QPointF(-1, -1), 5);
        hub.setColorAt(0, QColor(130, 190, 255));
        hub.setColorAt(1, QColor(24, 90, 190));
        p.setPen(QPen(QColor(20, 60, 130), 0.8));
        p.setBrush(hub);
        p.drawEllipse(c, 3.0, 3.0);
    });
    return withShadow(art, QPoint(0, 1), QColor(0, 0, 0, 90), 1);
}

// "Network": a blue globe with its meridians and parallels.
inline QImage networkIcon()
{
    const QImage art = draw(32, 32, [](QPainter& p) {
        const QPointF c(15.5, 15.5);
        const double r = 13;
        QRadialGradient sea(c + QPointF(-4, -5), 17);
        sea.setColorAt(0, QColor(140, 206, 255));
        sea.setColorAt(0.55, QColor(38, 124, 222));
        sea.setColorAt(1, QColor(14, 58, 140));
        p.setPen(QPen(QColor(12, 50, 120), 1));
        p.setBrush(sea);
        p.drawEllipse(c, r, r);
        p.save();
        QPainterPath globe;
        globe.addEllipse(c, r - 0.5, r - 0.5);
        p.setClipPath(globe);
        p.setPen(QPen(QColor(235, 246, 255, 170), 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, 5.5, r);
        p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
        p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
        for (double y : {-7.0, 7.0}) {
            const double half = std::sqrt(r * r - y * y);
            p.drawLine(QPointF(c.x() - half, c.y() + y), QPointF(c.x() + half, c.y() + y));
        }
        p.restore();
        QRadialGradient shine(c + QPointF(-5, -6), 8);
        shine.setColorAt(0, QColor(255, 255, 255, 150));
        shine.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shine);
        p.drawEllipse(c + QPointF(-4, -5), 7, 5);
    });
    return withShadow(art, QPoint(0, 1), QColor(0, 0, 0, 90), 1);
}

// "Files": a page with a folded corner that holds a small picture.
inline QImage typesIcon()
{
    const QImage art = draw(32, 32, [](QPainter& p) {
        QPainterPath page;
        page.moveTo(5.5, 1.5);
        page.lineTo(20.5, 1.5);
        page.lineTo(26.5, 7.5);
        page.lineTo(26.5, 29.5);
        page.lineTo(5.5, 29.5);
        page.closeSubpath();
        QLinearGradient paper(0, 0, 0, 32);
        paper.setColorAt(0, QColor(255, 255, 255));
        paper.setColorAt(1, QColor(230, 234, 240));
        p.setPen(QPen(QColor(110, 118, 132), 1));
        p.setBrush(paper);
        p.drawPath(page);
        QPainterPath fold;
        fold.moveTo(20.5, 1.5);
        fold.lineTo(20.5, 7.5);
        fold.lineTo(26.5, 7.5);
        fold.closeSubpath();
        p.setBrush(QColor(214, 220, 230));
        p.drawPath(fold);
        const QRectF photo(8.5, 11.5, 15, 12);
        QLinearGradient sky(photo.topLeft(), photo.bottomLeft());
        sky.setColorAt(0, QColor(60, 130, 220));
        sky.setColorAt(1, QColor(170, 214, 255));
        p.setPen(Qt::NoPen);
        p.fillRect(photo, sky);
        p.save();
        p.setClipRect(photo);
        p.setBrush(QColor(255, 214, 80));
        p.drawEllipse(QPointF(19.5, 15), 2, 2);
        QPainterPath hills;
        hills.moveTo(photo.left(), photo.bottom());
        hills.lineTo(photo.left(), 20);
        hills.quadTo(12.5, 15.5, 16, 19.5);
        hills.quadTo(19, 17.5, photo.right(), 20.5);
        hills.lineTo(photo.right(), photo.bottom());
        hills.closeSubpath();
        QLinearGradient grass(0, 16, 0, 24);
        grass.setColorAt(0, QColor(110, 190, 90));
        grass.setColorAt(1, QColor(40, 120, 60));
        p.setBrush(grass);
        p.drawPath(hills);
        p.restore();
        p.setPen(QPen(QColor(90, 100, 116), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(photo);
    });
    return withShadow(art, QPoint(0, 1), QColor(0, 0, 0, 80), 1);
}

// The pointing hand over links: white with a dark outline, the forefinger raised, its tip at the
// hot spot the program gives cursor 200.
inline QImage cursorHand()
{
    const QImage art = draw(32, 32, [](QPainter& p) {
        QPainterPath hand;
        auto add = [&hand](QRectF r, double radius) {
            QPainterPath part;
            part.addRoundedRect(r, radius, radius);
            hand = hand.united(part);
        };
        // Straight edges lie on half pixels, so that the outline is one crisp pixel wide.
        add(QRectF(8.5, 0.5, 6, 17), 3);     // forefinger
        add(QRectF(14.5, 8.5, 4, 10), 2);    // middle finger, bent
        add(QRectF(18.5, 9.5, 4, 9), 2);     // ring finger
        add(QRectF(22.5, 11.5, 4, 8), 2);    // little finger
        add(QRectF(8.5, 14.5, 18, 12), 4.5); // palm
        add(QRectF(10.5, 24.5, 14, 5), 1.5); // wrist
        QPainterPath thumb;
        thumb.addRoundedRect(QRectF(-9, -2.5, 10.5, 5), 2.5, 2.5);
        QTransform turn;
        turn.translate(11, 22);
        turn.rotate(32);
        hand = hand.united(turn.map(thumb)).simplified();
        p.setPen(QPen(QColor(16, 16, 20), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(255, 255, 255));
        p.drawPath(hand);
        p.setPen(QPen(QColor(16, 16, 20, 150), 1, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(14.5, 11), QPointF(14.5, 16));
        p.drawLine(QPointF(18.5, 12), QPointF(18.5, 16));
        p.drawLine(QPointF(22.5, 14), QPointF(22.5, 17));
    });
    return withShadow(art, QPoint(1, 1), QColor(0, 0, 0, 110), 1);
}

} // namespace Starwick::Artwork
