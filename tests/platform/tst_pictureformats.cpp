#include "platform/graphics.h"
#include "platform/picture.h"
#include "support/apodsite.h"
#include "support/testenv.h"

#include <QImageWriter>

using namespace Starwick;

namespace {

// `jpeg` with the frame header's height and width set to the given ones.
QByteArray jpegClaiming(QByteArray jpeg, int width, int height)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        const auto marker = uchar(jpeg[i + 1]);
        if (uchar(jpeg[i]) == 0xFF && (marker == 0xC0 || marker == 0xC1 || marker == 0xC2)) {
            jpeg[i + 5] = char(height >> 8);
            jpeg[i + 6] = char(height & 0xFF);
            jpeg[i + 7] = char(width >> 8);
            jpeg[i + 8] = char(width & 0xFF);
            return jpeg;
        }
    }
    return {};
}

QString writePicture(const QImage& image, const char* format, const QString& name)
{
    const QString path = Test::homePath() + u'/' + name;
    QImageWriter writer(path, format);
    if (!writer.write(image))
        qWarning("Cannot write %s: %s", qPrintable(path), qPrintable(writer.errorString()));
    return path;
}

QImage gradient(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = qRgb(x * 255 / size.width(), y * 255 / size.height(), 128);
    }
    return image;
}

} // namespace

class TestPictureFormats : public QObject
{
    Q_OBJECT

private slots:
    void opensWhatTheSiteServes_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QSize>("size");
        QTest::newRow("JPEG") << QByteArray("jpeg") << QSize(160, 101);
        QTest::newRow("PNG") << QByteArray("png") << QSize(284, 710);
        QTest::newRow("GIF") << QByteArray("gif") << QSize(48, 36);
    }
    void opensWhatTheSiteServes()
    {
        QFETCH(QByteArray, format);
        QFETCH(QSize, size);
        QString path = Test::homePath() + QStringLiteral("/small.") + format;
        if (format == "gif") {
            // Qt reads GIF but does not write it.
            QVERIFY(Test::writeFileBytes(path, Test::ApodSite::makeGif(size)));
        } else {
            path = writePicture(gradient(size), format.constData(), QStringLiteral("small.") + format);
        }
        QString error;
        const platform::PictureRef picture = platform::Picture::Open(path, &error);
        QVERIFY2(picture, qPrintable(error));
        QCOMPARE(QSize(picture->Width(), picture->Height()), size);
        QCOMPARE(picture->image().size(), size);
    }

    void refusesWhatIsNoPicture_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("an error page") << QByteArray("<html><body>404 Not Found</body></html>");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("PNG signature only") << QByteArray("\x89PNG\r\n\x1a\n", 8);
        QTest::newRow("a JPEG cut in the middle") << Test::ApodSite::makeJpeg(QSize(64, 40)).chopped(300);
        QTest::newRow("a GIF without its trailer") << Test::ApodSite::makeGif(QSize(16, 12)).chopped(1);
        // A few hundred bytes whose header claims 65500 x 65500: decoding it would make a bitmap of
        // hundreds of megabytes and show grey. Data after the end mark does not make up for it.
        const QByteArray claimsHuge = jpegClaiming(Test::ApodSite::makeJpeg(QSize(16, 16)), 65500, 65500);
        QTest::newRow("a tiny JPEG claiming 65500 x 65500") << claimsHuge;
        QTest::newRow("the same with data after its end") << claimsHuge + QByteArray(4 * 1024 * 1024, 'v');
    }
    void refusesWhatIsNoPicture()
    {
        QFETCH(QByteArray, bytes);
        const QString path = Test::homePath() + QStringLiteral("/broken.jpg");
        QVERIFY(Test::writeFileBytes(path, bytes));
        QString error;
        QVERIFY(!platform::Picture::Open(path, &error));
        QVERIFY(!error.isEmpty());
    }

    void aJpegWithDataAfterItsEndOpens()
    {
        // Phones append a video or other data after the picture's end mark.
        const QString path = Test::homePath() + QStringLiteral("/motion.jpg");
        QVERIFY(Test::writeFileBytes(path, Test::ApodSite::makeJpeg(QSize(64, 40)) + QByteArray(200 * 1024, 'v')));
        QString error;
        const platform::PictureRef picture = platform::Picture::Open(path, &error);
        QVERIFY2(picture, qPrintable(error));
        QCOMPARE(QSize(picture->Width(), picture->Height()), QSize(64, 40));
    }

    void aVeryLargePictureIsKeptReduced()
    {
        // 12000 x 8000 is over the image reader's default allocation limit as 32-bit pixels.
        const QSize size(12000, 8000);
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(20, 30, 60));
        const QString path = writePicture(image, "png", QStringLiteral("huge.png"));
        image = QImage();
        QString error;
        const platform::PictureRef picture = platform::Picture::Open(path, &error);
        QVERIFY2(picture, qPrintable(error));
        QCOMPARE(QSize(picture->Width(), picture->Height()), size);
        QVERIFY(std::max(picture->image().width(), picture->image().height()) <= platform::Picture::kMaxDecodedSide);
        QCOMPARE(picture->image().pixelColor(10, 10), QColor(20, 30, 60));
    }

    void maskMakesPartsTransparent()
    {
        platform::Picture picture(gradient(QSize(10, 10)));
        platform::Picture mask(10, 10);
        {
            platform::Graphics g = mask.graphics();
            g.SetForeColor(Qt::black);
            g.FillRect(0, 0, 5, 10); // left half opaque, right half stays white: transparent
        }
        picture.Mask().graphics().DrawPicture(mask, 0, 0);
        QCOMPARE(qAlpha(picture.composed().pixel(2, 5)), 255);
        QCOMPARE(qAlpha(picture.composed().pixel(7, 5)), 0);
    }
};

STARWICK_TEST_MAIN(TestPictureFormats)
#include "tst_pictureformats.moc"
