#include "platform/graphics.h"
#include "platform/picture.h"
#include "support/testenv.h"

#include <QImageWriter>

using namespace Starwick;
using platform::Picture;

namespace {

const QColor kQuadrants[] = {QColor(220, 30, 30), QColor(30, 200, 40), QColor(40, 60, 210), QColor(230, 220, 40)};

// Four flat quadrants: top left red, top right green, bottom left blue, bottom right yellow.
QImage quadrants(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    const int halfW = size.width() / 2;
    const int halfH = size.height() / 2;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixelColor(x, y, kQuadrants[(y >= halfH ? 2 : 0) + (x >= halfW ? 1 : 0)]);
    }
    return image;
}

// The colour at the middle of each quadrant, within what JPEG and smoothing change.
void verifyQuadrants(const QImage& image)
{
    const int w = image.width();
    const int h = image.height();
    const QPoint centres[] = {{w / 4, h / 4}, {3 * w / 4, h / 4}, {w / 4, 3 * h / 4}, {3 * w / 4, 3 * h / 4}};
    for (int q = 0; q < 4; ++q) {
        const QColor got = image.pixelColor(centres[q]);
        const QColor want = kQuadrants[q];
        const int error = std::abs(got.red() - want.red()) + std::abs(got.green() - want.green()) +
                          std::abs(got.blue() - want.blue());
        QVERIFY2(error < 36, qPrintable(QStringLiteral("quadrant %1 of %2x%3 is %4, not %5")
                                            .arg(q)
                                            .arg(w)
                                            .arg(h)
                                            .arg(got.name(), want.name())));
    }
}

QString writePicture(const QSize& size, const char* format, QImageIOHandler::Transformation turn = {})
{
    const QString path =
        Test::homePath() + QStringLiteral("/%1x%2.%3").arg(size.width()).arg(size.height()).arg(format);
    QImageWriter writer(path, format);
    writer.setQuality(95);
    writer.setTransformation(turn);
    if (!writer.write(quadrants(size)))
        return QString();
    return path;
}

} // namespace

class TestPicture : public QObject
{
    Q_OBJECT

private slots:
    void largePicturesAreKeptReduced_data()
    {
        QTest::addColumn<QSize>("fileSize");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("maxSide");
        QTest::addColumn<QSize>("kept");
        QTest::newRow("small JPEG kept whole") << QSize(300, 200) << QByteArray("jpg") << 400 << QSize(300, 200);
        // 3/8 of both sides is whole: the decoder makes it straight away.
        QTest::newRow("JPEG in whole eighths") << QSize(1000, 600) << QByteArray("jpg") << 400 << QSize(375, 225);
        // Odd sides have no whole eighth: a quarter of the picture cut to whole blocks of four.
        QTest::newRow("JPEG with odd sides") << QSize(1001, 601) << QByteArray("jpg") << 400 << QSize(250, 150);
        // Within the longest side, but more pixels than a 4K screen: 7/8 fits.
        QTest::newRow("JPEG over the pixel limit")
            << QSize(4000, 2200) << QByteArray("jpg") << Picture::kMaxDecodedSide << QSize(3500, 1925);
        QTest::newRow("PNG scaled to fit") << QSize(1000, 600) << QByteArray("png") << 400 << QSize(400, 240);
    }
    void largePicturesAreKeptReduced()
    {
        QFETCH(QSize, fileSize);
        QFETCH(QByteArray, format);
        QFETCH(int, maxSide);
        QFETCH(QSize, kept);
        const QString path = writePicture(fileSize, format.constData());
        QVERIFY(!path.isEmpty());
        QString error;
        const platform::PictureRef picture = Picture::Open(path, &error, maxSide);
        QVERIFY2(picture, qPrintable(error));
        QCOMPARE(QSize(picture->Width(), picture->Height()), fileSize);
        QCOMPARE(picture->image().size(), kept);
        QCOMPARE(picture->image().format(), QImage::Format_ARGB32_Premultiplied);
        verifyQuadrants(picture->image());
    }

    void aTurnedJpegIsReducedAndTurned()
    {
        const QString path = writePicture(QSize(1001, 601), "jpg", QImageIOHandler::TransformationRotate90);
        const platform::PictureRef picture = Picture::Open(path, nullptr, 400);
        QVERIFY(picture);
        QCOMPARE(QSize(picture->Width(), picture->Height()), QSize(601, 1001));
        QCOMPARE(picture->image().size(), QSize(150, 250));
        // Turned a quarter clockwise, the file's bottom left (blue) is now top left.
        QCOMPARE(picture->image().pixelColor(30, 50).blue() > 150, true);
    }

    void levelsAreBoxFilteredHalvings()
    {
        // One-pixel black and white checks: every halving averages them to mid grey, where
        // picking pixels would give black or white.
        QImage checks(1000, 600, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < checks.height(); ++y) {
            for (int x = 0; x < checks.width(); ++x)
                checks.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
        const Picture picture(checks);
        QCOMPARE(picture.levelFor(QSize(1200, 700)).size(), QSize(1000, 600)); // larger: the bitmap
        QCOMPARE(picture.levelFor(QSize(1000, 600)).size(), QSize(1000, 600));
        QCOMPARE(picture.levelFor(QSize(480, 300)).size(), QSize(500, 300));
        QCOMPARE(picture.levelFor(QSize(100, 60)).size(), QSize(125, 75));
        const QImage level = picture.levelFor(QSize(100, 60));
        for (const QPoint& at : {QPoint(0, 0), QPoint(62, 37), QPoint(124, 74)})
            QCOMPARE(qGray(level.pixel(at)), 128);
    }

    void drawingScaledShowsThePicture_data()
    {
        QTest::addColumn<QSize>("target");
        QTest::newRow("reduced a little") << QSize(900, 540);
        QTest::newRow("reduced a lot") << QSize(97, 58);
        QTest::newRow("enlarged") << QSize(1300, 780);
    }
    void drawingScaledShowsThePicture()
    {
        QFETCH(QSize, target);
        const Picture picture(quadrants(QSize(1000, 600)));
        QImage device(target, QImage::Format_ARGB32_Premultiplied);
        device.fill(Qt::black);
        {
            platform::Graphics g(&device);
            g.DrawPicture(picture, 0, 0, target.width(), target.height(), 0, 0, 1000, 600);
        }
        verifyQuadrants(device);
        // The edges are the picture's too: nothing of the black beneath shows.
        for (const QPoint& corner : {QPoint(0, 0), QPoint(target.width() - 1, target.height() - 1)})
            QVERIFY(qGray(device.pixel(corner)) > 60);
    }
};

STARWICK_TEST_MAIN(TestPicture)
#include "tst_picture.moc"
