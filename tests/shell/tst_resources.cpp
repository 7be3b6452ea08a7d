#include "platform/graphics.h"
#include "platform/resources.h"
#include "shell/resources.h"
#include "support/testenv.h"

#include <QFile>
#include <QtEndian>

namespace Starwick {

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void pictures_data();
    void pictures();
    void maskDrawnIntoIconStays();
    void sounds_data();
    void sounds();
    void linkCursorPointsWithItsFingertip();
    void missingResources();
};

namespace {

// Every mask is a grey picture that holds opaque and transparent parts both.
void verifyMask(const platform::Picture& mask)
{
    const QImage image = mask.image().convertToFormat(QImage::Format_ARGB32);
    int darkest = 255;
    int lightest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            QVERIFY2(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel), "a mask is grey");
            darkest = std::min(darkest, qRed(pixel));
            lightest = std::max(lightest, qRed(pixel));
        }
    }
    QVERIFY2(darkest <= 5 && lightest >= 250, "a mask cuts a shape");
}

struct WaveFormat
{
    int channels = 0;
    int rate = 0;
    int bits = 0;
    double seconds = 0;
};

// The canonical 44-byte header of a PCM WAV file.
WaveFormat readWave(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    if (data.size() < 44 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE" || data.mid(36, 4) != "data")
        return {};
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    WaveFormat format;
    format.channels = qFromLittleEndian<quint16>(bytes + 22);
    format.rate = int(qFromLittleEndian<quint32>(bytes + 24));
    format.bits = qFromLittleEndian<quint16>(bytes + 34);
    const quint32 dataSize = qFromLittleEndian<quint32>(bytes + 40);
    if (format.rate > 0 && format.channels > 0 && format.bits > 0)
        format.seconds = double(dataSize) / (format.rate * format.channels * format.bits / 8);
    return format;
}

struct PictureCase
{
    const char* name;
    platform::PictureRef (*picture)();
    platform::PictureRef (*mask)(); // nullptr: the picture has no mask
    int id;
    QSize size; // -1: any length (an edge is stretched along it)
};

const PictureCase kPictures[] = {
    {"IWTop", IWTop, nullptr, 168, QSize(-1, 10)},
    {"IWBottom", IWBottom, nullptr, 169, QSize(-1, 10)},
    {"IWRight", IWRight, nullptr, 170, QSize(10, -1)},
    {"IWLeft", IWLeft, nullptr, 171, QSize(10, -1)},
    {"IWLR", IWLR, IWLRM, 172, QSize(10, 10)},
    {"IWUR", IWUR, IWURM, 173, QSize(10, 10)},
    {"IWUL", IWUL, IWULM, 175, QSize(10, 10)},
    {"IWLL", IWLL, IWLLM, 178, QSize(10, 10)},
    {"IconImage", IconImage, IconMask, 181, QSize(64, 64)},
    {"ToolBadgeimage", ToolBadgeimage, ToolBadgemask, 183, QSize(128, 26)},
    {"Quorrelimage", Quorrelimage, Quorrelmask, 185, QSize(128, 28)},
    {"GeneralImage", GeneralImage, GeneralMask, 186, QSize(32, 32)},
    {"NetworkImage", NetworkImage, Networkmask, 188, QSize(32, 32)},
    {"TypesImage", TypesImage, TypesMask, 191, QSize(32, 32)},
};

struct SoundCase
{
    const char* name;
    platform::SoundRef (*sound)();
    const char* path;
};

const SoundCase kSounds[] = {
    {"Saved", Saved, ":/snd/168.wav"},
    {"Tink", Tink, ":/snd/169.wav"},
    {"Strum", Strum, ":/snd/170.wav"},
    {"SaveToDT", SaveToDT, ":/snd/171.wav"},
};

} // namespace

void TestResources::pictures_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(kPictures)); ++i)
        QTest::newRow(kPictures[i].name) << i;
}

void TestResources::pictures()
{
    QFETCH(int, index);
    const PictureCase& c = kPictures[index];

    const platform::PictureRef picture = c.picture();
    QVERIFY(picture);
    QCOMPARE(c.picture().get(), picture.get());
    QVERIFY(platform::Resources::exists(platform::Resources::Kind::Picture, c.id));
    if (c.size.width() > 0)
        QCOMPARE(picture->Width(), c.size.width());
    if (c.size.height() > 0)
        QCOMPARE(picture->Height(), c.size.height());
    QVERIFY(picture->Width() >= 1 && picture->Height() >= 1);

    if (!c.mask)
        return;
    const platform::PictureRef mask = c.mask();
    QVERIFY(mask);
    QCOMPARE(c.mask().get(), mask.get());
    QVERIFY(mask.get() != picture.get());
    QCOMPARE(QSize(mask->Width(), mask->Height()), QSize(picture->Width(), picture->Height()));
    verifyMask(*mask);
}

void TestResources::maskDrawnIntoIconStays()
{
    {
        platform::Graphics g = IconImage()->Mask().graphics();
        g.DrawPicture(*IconMask(), 0, 0);
    }
    // The next user gets the same picture with the mask in place: clear outside the round window,
    // opaque inside it.
    const platform::PictureRef icon = IconImage();
    QVERIFY(icon->hasMask());
    QCOMPARE(qAlpha(icon->composed().pixel(0, 0)), 0);
    QCOMPARE(qAlpha(icon->composed().pixel(63, 0)), 0);
    QCOMPARE(qAlpha(icon->composed().pixel(29, 28)), 255);
}

void TestResources::sounds_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(kSounds)); ++i)
        QTest::newRow(kSounds[i].name) << i;
}

void TestResources::sounds()
{
    QFETCH(int, index);
    const SoundCase& c = kSounds[index];
    const QString path = QString::fromLatin1(c.path);

    const platform::SoundRef sound = c.sound();
    QVERIFY(sound);
    QCOMPARE(c.sound().get(), sound.get());
    QCOMPARE(sound->resourcePath(), path);

    const WaveFormat format = readWave(path);
    QCOMPARE(format.channels, 1);
    QCOMPARE(format.rate, 44100);
    QCOMPARE(format.bits, 16);
    QVERIFY(format.seconds > 0.05 && format.seconds < 1.0);

    // This machine may have no audio output: playing is silent then, and only counted.
    const int before = sound->playCount();
    sound->Play();
    sound->Play();
    QCOMPARE(sound->playCount(), before + 2);
}

void TestResources::linkCursorPointsWithItsFingertip()
{
    const QCursor cursor = LinkCursor();
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    const QPoint hotSpot = cursor.hotSpot();
    QCOMPARE(hotSpot, platform::Resources::cursorHotSpot(200));
    const QImage image = cursor.pixmap().toImage();
    QCOMPARE(image.size(), QSize(32, 32));
    // The fingertip covers the hot spot, and nothing of the hand lies above it.
    QVERIFY(qAlpha(image.pixel(hotSpot)) > 128);
    for (int y = 0; y + 1 < hotSpot.y(); ++y)
        QVERIFY(qAlpha(image.pixel(hotSpot.x(), y)) < 255);
}

void TestResources::missingResources()
{
    using platform::Resources;
    QCOMPARE(Resources::GetPicture(167), nullptr);
    QCOMPARE(Resources::GetSound(172), nullptr);
    QVERIFY(!Resources::GetCursor(201).has_value());
    QVERIFY(Resources::GetScript(170).isEmpty());
    QVERIFY(Resources::GetScript(168).startsWith(QLatin1String("#!/bin/sh\n")));
}

} // namespace Starwick

STARWICK_TEST_MAIN(Starwick::TestResources)
#include "tst_resources.moc"
