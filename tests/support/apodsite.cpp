#include "support/apodsite.h"

#include "shell/servers.h"
#include "support/fixtureserver.h"
#include "support/testenv.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLocale>

namespace Starwick::Test {

namespace {

struct ServedImage
{
    const char* path;
    QSize size;
    const char* format; ///< "png", "jpg", "gif", or "mp4" for a few bytes that are no picture
};

struct DayFixture
{
    const char* page;
    QDate date;
    const char* dataFile;
    const char* title;   ///< UTF-8
    bool latin1Title;    ///< the archive line holds the title in Latin-1 bytes
    ServedImage picture; ///< path null: no picture
    const char* credit;  ///< UTF-8
    const char* explanationStart;
    const char* explanationEnd;
    QList<ServedImage> others;
};

const QList<DayFixture>& dayFixtures()
{
    static const QList<DayFixture> fixtures = {
        {"ap250314.html",
         QDate(2025, 3, 14),
         "day-video-mp4-source.html",
         "Total Lunar Eclipse over Uruguay",
         false,
         {nullptr, {}, nullptr},
         "Lucía Salas",
         "Last night the full Moon slid through",
         "to a deep red and back again.",
         {{"2503/LunarEclipseUruguay_Salazar.mp4", {}, "mp4"}}},
        {"ap241220.html",
         QDate(2024, 12, 20),
         "day-commented-picture-reference.html",
         "Solstice Sun over Montréal",
         false,
         {"2412/SolsticeSun_Montreal.png", QSize(48, 36), "png"},
         "Élise Côté",
         "Tomorrow the Sun reaches its southernmost point",
         "days will now grow longer again.",
         {{"2412/SolsticeSun_Snap.png", QSize(20, 20), "png"},
          {"2412/SolsticeSun_Montreal_1024.png", QSize(24, 18), "png"}}},
        {"ap231017.html",
         QDate(2023, 10, 17),
         "day-modern-favicon-scripts-credit-copyright.html",
         "A Desert Eclipse",
         false,
         {"2310/DesertEclipse_Daviron_2000.jpg", QSize(64, 40), "jpg"},
         "Dana Vireo",
         "What's happening to the Sun?",
         "of South America in 2024 October.",
         {{"2310/DesertEclipse_Daviron_960.jpg", QSize(32, 20), "jpg"}}},
        {"ap230211.html",
         QDate(2023, 2, 11),
         "day-image-credit-explanation-links-picture.html",
         "Magellanic Clouds over Chile",
         false,
         {"2302/MagellanicChile_big.png", QSize(50, 30), "png"},
         "Observatorio Ejemplo, Tomás Reyes",
         "Two satellite galaxies of our Milky Way",
         "star-forming regions in more detail.",
         {{"2302/MagellanicChile_1024.png", QSize(25, 15), "png"}, {"2302/LMC_Wide.jpg", QSize(70, 30), "jpg"}}},
        {"ap230210.html",
         QDate(2023, 2, 10),
         "day-video-iframe-no-picture.html",
         "Flying over Jezero Crater",
         false,
         {nullptr, {}, nullptr},
         "Ari Mendel",
         "What would it look like to fly over the crater",
         "marks the places the flight passes.",
         {{"2302/Jezero_Map.jpg", QSize(30, 30), "jpg"}}},
        {"ap980303.html",
         QDate(1998, 3, 3),
         "day-1998-credit-latin1.html",
         "A Nebula Named for Schrödinger",
         true,
         {"9803/schroedinger_hst_big.jpg", QSize(40, 40), "jpg"},
         "Heritage Team, Space Telescope Example Institute",
         "Is the cat in this nebula alive or not?",
         "over the last few thousand years.",
         {{"9803/schroedinger_hst.jpg", QSize(20, 20), "jpg"}}},
        {"ap950622.html",
         QDate(1995, 6, 22),
         "day-1995-picture-credit-we-keep-an-archive.html",
         "Earth from Apollo 17",
         false,
         {"earth_a17.gif", QSize(16, 12), "gif"},
         "NASA, Apollo 17 crew",
         "This is the whole Earth as the crew of Apollo 17 saw it",
         "covered by water and clouds.",
         {{"earth_a17_small.gif", QSize(8, 6), "gif"}}},
    };
    return fixtures;
}

// Recorded pages kept off the site's archive, so that its rows stay the ones the navigation tests
// count; the page parsers read them with the site's.
const QList<DayFixture>& offSiteFixtures()
{
    static const QList<DayFixture> fixtures = {
        {"ap210409.html",
         QDate(2021, 4, 9),
         "day-2021-no-label-rule-before-links.html",
         "Aurora over the Fjord",
         false,
         {"2104/AuroraFjord_Lind.jpg", QSize(48, 32), "jpg"},
         "Sigrid Lind",
         "Green curtains of light ripple over a still fjord.",
         "The calm water doubles the display.",
         {{"2104/AuroraFjord_Lind_1024.jpg", QSize(24, 16), "jpg"}}},
        {"ap200616.html",
         QDate(2020, 6, 16),
         "day-2020-next-picture-long-credit.html",
         "A Comet over Three Observatories",
         false,
         {"2006/CometObservatories_Composite.jpg", QSize(60, 30), "jpg"},
         "Cerro Ejemplo Observatory, Mauna Muestra Observatory, Southern Sample Array; Processing: Mira "
         "Tanaka-Oyelaran and Jonas Whitfield-Amadi; Music: Night Drift by Halcyon Sample Ensemble",
         "A comet's long tail stretched over three mountaintop observatories",
         "points straight away from the Sun.",
         {{"2006/CometObservatories_1024.jpg", QSize(30, 15), "jpg"}}}};
    return fixtures;
}

QImage gradient(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(255 * x / qMax(1, size.width() - 1), 255 * y / qMax(1, size.height() - 1), 96));
    }
    return image;
}

QByteArray encode(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, 90))
        qFatal("cannot encode a %s fixture picture", format);
    return bytes;
}

QByteArray imageBytes(const ServedImage& image)
{
    const QByteArray format(image.format);
    if (format == "png")
        return ApodSite::makePng(image.size);
    if (format == "jpg")
        return ApodSite::makeJpeg(image.size);
    if (format == "gif")
        return ApodSite::makeGif(image.size);
    // Not a picture: the start of an MP4 file type box and some filler.
    return QByteArray("\x00\x00\x00\x18"
                      "ftypmp42",
                      12) +
           QByteArray(500, '\0');
}

QByteArray contentType(const char* format)
{
    const QByteArray name(format);
    if (name == "jpg")
        return "image/jpeg";
    if (name == "mp4")
        return "video/mp4";
    return "image/" + name;
}

/// Bits into bytes, least significant bit first, as GIF's LZW stream packs its codes.
class BitWriter
{
public:
    void write(int code, int width)
    {
        for (int i = 0; i < width; ++i) {
            if (code & (1 << i))
                m_current |= char(1 << m_bits);
            if (++m_bits == 8) {
                m_bytes.append(m_current);
                m_current = 0;
                m_bits = 0;
            }
        }
    }
    QByteArray finish()
    {
        if (m_bits > 0)
            m_bytes.append(m_current);
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    char m_current = 0;
    int m_bits = 0;
};

void appendLittleEndian16(QByteArray& bytes, int value)
{
    bytes.append(char(value & 0xff));
    bytes.append(char((value >> 8) & 0xff));
}

} // namespace

namespace {

ApodDay recordedDay(const DayFixture& entry)
{
    ApodDay day;
    day.page = QString::fromLatin1(entry.page);
    day.date = entry.date;
    day.title = QString::fromUtf8(entry.title);
    day.dataFile = QString::fromLatin1(entry.dataFile);
    QFile file(dataPath(QStringLiteral("apod-site/") + day.dataFile));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture page %s", qPrintable(file.fileName()));
    day.html = file.readAll();
    day.archiveLine =
        ApodSite::archiveLineFor(entry.date, entry.latin1Title ? day.title.toLatin1() : day.title.toUtf8());
    day.credit = QString::fromUtf8(entry.credit);
    day.explanationStart = QString::fromUtf8(entry.explanationStart);
    day.explanationEnd = QString::fromUtf8(entry.explanationEnd);
    if (entry.picture.path) {
        day.picture = QString::fromLatin1(entry.picture.path);
        const QStringList parts = day.picture.split(QLatin1Char('/'));
        day.cacheName = parts.size() > 1 ? parts[1] : parts[0];
        day.pictureSize = entry.picture.size;
        day.pictureBytes = imageBytes(entry.picture);
    }
    for (const ServedImage& other : entry.others)
        day.otherImages.append(QString::fromLatin1(other.path));
    return day;
}

} // namespace

ApodSite::ApodSite(FixtureServer& server, const QString& prefix)
    : m_server(&server)
    , m_prefix(prefix)
{
    for (const DayFixture& entry : dayFixtures()) {
        const ApodDay day = recordedDay(entry);
        if (day.hasPicture()) {
            server.route(imagePath(day.picture),
                         FixtureServer::Response::page(day.pictureBytes, 200, contentType(entry.picture.format)));
        }
        for (const ServedImage& other : entry.others) {
            server.route(imagePath(QString::fromLatin1(other.path)),
                         FixtureServer::Response::page(imageBytes(other), 200, contentType(other.format)));
        }
        server.route(dayPath(day.page), FixtureServer::Response::page(day.html));
        m_days.append(day);
    }
    server.route(archivePath(), FixtureServer::Response::page(archivePage()));
}

QList<ApodDay> ApodSite::recordedDays()
{
    QList<ApodDay> days;
    for (const QList<DayFixture>* fixtures : {&dayFixtures(), &offSiteFixtures()}) {
        for (const DayFixture& entry : *fixtures)
            days.append(recordedDay(entry));
    }
    return days;
}

const ApodDay& ApodSite::day(const QString& page) const
{
    for (const ApodDay& day : m_days) {
        if (day.page == page)
            return day;
    }
    qFatal("the fixture site has no day %s", qPrintable(page));
}

QString ApodSite::archivePath() const
{
    return m_prefix + QStringLiteral("/apod/archivepix.html");
}

QString ApodSite::dayPath(const QString& page) const
{
    return m_prefix + QStringLiteral("/apod/") + page;
}

QString ApodSite::imagePath(const QString& relative) const
{
    return m_prefix + QStringLiteral("/apod/image/") + relative;
}

QString ApodSite::archiveUrl() const
{
    return m_server->url(archivePath());
}

QString ApodSite::dayUrl(const QString& page) const
{
    return m_server->url(dayPath(page));
}

QString ApodSite::imageUrl(const QString& relative) const
{
    return m_server->url(imagePath(relative));
}

QByteArray ApodSite::archivePage() const
{
    QList<QByteArray> lines;
    for (const ApodDay& day : m_days)
        lines.append(day.archiveLine);
    return archivePageFor(lines);
}

QByteArray ApodSite::archiveLineFor(const QDate& date, const QByteArray& title)
{
    const QLocale english(QLocale::English);
    const QByteArray when = QByteArray::number(date.year()) + ' ' + english.monthName(date.month()).toLatin1() + ' ' +
                            QByteArray::number(date.day()).rightJustified(2, '0');
    return when + ":  <a href=\"ap" + date.toString(QStringLiteral("yyMMdd")).toLatin1() + ".html\">" + title +
           "</a><br>";
}

QByteArray ApodSite::archivePageFor(const QList<QByteArray>& lines)
{
    QByteArray page = "<html>\n"
                      "<head>\n"
                      "<title>Astronomy Picture of the Day Archive</title>\n"
                      "<!-- gsfc meta tags -->\n"
                      "<meta name=\"orgcode\" content=\"661\">\n"
                      "<script id=\"_fed_an_ua_tag\"\n"
                      "src=\"//analytics.example.gov/Universal-Federated-Analytics-Min.js?agency=NASA\">\n"
                      "</script>\n"
                      "<link rel=\"icon\" type=\"image/ico\" href=\"./favicon.ico\">\n"
                      "</head>\n"
                      "<body BGCOLOR=\"#F4F4FF\" text=\"#000000\" link=\"#0000FF\" vlink=\"#7F0F9F\" "
                      "alink=\"#FF0000\">\n"
                      "\n"
                      "<center>\n"
                      "<font size=\"+2\">Astronomy Picture of the Day</font>\n"
                      "<br><font size=\"+1\">Archive</font>\n"
                      "<br>\n"
                      "</center>\n"
                      "<p>\n"
                      "<b>This archive list links to previous daily APOD pages\n"
                      "from the current date through January 1, 2015.\n"
                      "<br>An archive of all\n"
                      "existing APOD pages (current date through June 16, 1995) can be\n"
                      "found here: <a href=\"archivepixFull.html\">APOD Full Archive</a>.</b>\n"
                      "<hr>\n"
                      "<b>\n";
    for (const QByteArray& line : lines)
        page += line + '\n';
    page += "</b>\n"
            "<hr>\n"
            "<center>\n"
            "<a href=\"lib/aptree.html\">Index</a>\n"
            "| <a href=\"lib/about_apod.html\">About APOD</a>\n"
            "</center>\n"
            "</body>\n"
            "</html>\n";
    return page;
}

QByteArray ApodSite::bigArchivePage(int count, const QDate& newest)
{
    QList<QByteArray> lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QDate date = newest.addDays(-i);
        lines.append(archiveLineFor(date, "Sky Picture Number " + QByteArray::number(count - i)));
    }
    return archivePageFor(lines);
}

QByteArray ApodSite::makePng(const QSize& size)
{
    return encode(gradient(size), "PNG");
}

QByteArray ApodSite::makeJpeg(const QSize& size)
{
    return encode(gradient(size), "JPEG");
}

QByteArray ApodSite::makeGif(const QSize& size)
{
    // Qt reads GIF but does not write it. This writes a four-colour GIF89a whose LZW stream
    // sends a clear code before every pixel, so the code width never grows: valid, if not small.
    QByteArray gif = "GIF89a";
    appendLittleEndian16(gif, size.width());
    appendLittleEndian16(gif, size.height());
    gif.append(char(0x91)); // global colour table of 4 entries, 2 bits of colour resolution
    gif.append(char(0));    // background colour index
    gif.append(char(0));    // no aspect ratio
    const unsigned char palette[] = {0x10, 0x20, 0x60, 0xf0, 0xd0, 0x40, 0x30, 0xa0, 0xf0, 0xff, 0xff, 0xff};
    gif.append(reinterpret_cast<const char*>(palette), sizeof palette);
    gif.append(char(0x2c));
    appendLittleEndian16(gif, 0);
    appendLittleEndian16(gif, 0);
    appendLittleEndian16(gif, size.width());
    appendLittleEndian16(gif, size.height());
    gif.append(char(0)); // no local colour table, not interlaced

    constexpr int minimumCodeSize = 2;
    constexpr int clearCode = 1 << minimumCodeSize;
    constexpr int endCode = clearCode + 1;
    constexpr int width = minimumCodeSize + 1;
    BitWriter bits;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            bits.write(clearCode, width);
            bits.write((x * 2 / qMax(1, size.width()) + y * 2 / qMax(1, size.height()) * 2) % 4, width);
        }
    }
    bits.write(endCode, width);
    const QByteArray data = bits.finish();
    gif.append(char(minimumCodeSize));
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        gif.append(char(block.size()));
        gif.append(block);
    }
    gif.append(char(0));    // end of the image data
    gif.append(char(0x3b)); // trailer
    return gif;
}

bool serveApodSite(std::unique_ptr<FixtureServer>& server, std::unique_ptr<ApodSite>& site)
{
    site.reset();
    server = std::make_unique<FixtureServer>();
    if (!server->start())
        return false;
    site = std::make_unique<ApodSite>(*server, QStringLiteral("/~apod"));
    setAPODServerForTesting(QStringLiteral("127.0.0.1:%1/~apod").arg(server->port()));
    return true;
}

} // namespace Starwick::Test
