#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

namespace Starwick::Test {

class FixtureServer;

/// One day of the fake APOD site.
struct ApodDay
{
    QString page; ///< the day page's name, "ap231017.html"
    QDate date;
    QString title;            ///< as the page shows it, decoded
    QString dataFile;         ///< the page's file in the test data folder
    QByteArray html;          ///< the page as served (bytes as in the file)
    QByteArray archiveLine;   ///< its line on the archive page, without the line feed
    QString picture;          ///< the day's picture, the path after "image/"; empty on a day without one
    QString cacheName;        ///< the picture's name in the cache folder
    QSize pictureSize;        ///< its size in pixels
    QByteArray pictureBytes;  ///< the picture file as served
    QString credit;           ///< the credit as a reader sees it
    QString explanationStart; ///< the first words of the explanation
    QString explanationEnd;   ///< its last words
    /// Other files under "image/" that the page refers to and the site serves: thumbnails,
    /// pictures linked from the explanation, commented-out references, videos. None is the
    /// day's picture.
    QStringList otherImages;

    bool hasPicture() const { return !picture.isEmpty(); }
};

/// A small APOD site after the real one's markup, served by a FixtureServer.
///
/// Everything lies under prefix + "/apod/": "archivepix.html" (the archive page: a bold note,
/// then the day lines in the next bold block, LF line ends, newest day first), the day pages
/// "apYYMMDD.html" (read from tests/data/apod-site/) and the pictures under "image/" (small
/// real PNG, JPEG and GIF files made in code). The days, newest first:
/// - ap250314: a video day with `<source src="image/....mp4">`, no picture;
/// - ap241220: a commented-out "image/" reference before the picture (PNG), UTF-8 title;
/// - ap231017: favicon link and scripts in the head, "Image Credit & Copyright:" (JPEG);
/// - ap230211: "Image Credit:" only, and an explanation that links another picture (PNG);
/// - ap230210: a video day with a YouTube iframe, no picture, explanation links a picture;
/// - ap980303: "Credit:", raw Latin-1 bytes in the title and explanation (JPEG);
/// - ap950622: a 1995 page with "Picture Credit:", ending with "We keep an archive", a GIF
///   whose path holds no "/".
class ApodSite
{
public:
    /// Registers the site on `server`; `prefix` is "" or a path such as "/~apod".
    explicit ApodSite(FixtureServer& server, const QString& prefix = QString());

    const QList<ApodDay>& days() const { return m_days; }

    /// Every recorded day page with what it shows, for the page parsers: the site's days, then
    /// pages kept off the site's archive (so that its rows stay as they are):
    /// - ap210409: no label after the explanation, whose end is the rule above the links (JPEG);
    /// - ap200616: a credit of several sources, "Processing:" and "Music:", and "Next picture:"
    ///   after the explanation (JPEG).
    static QList<ApodDay> recordedDays();
    /// The day with page name `page`; the test fails when there is none.
    const ApodDay& day(const QString& page) const;

    QString archivePath() const;
    QString dayPath(const QString& page) const;
    QString imagePath(const QString& relative) const;
    /// Full URLs on the server.
    QString archiveUrl() const;
    QString dayUrl(const QString& page) const;
    QString imageUrl(const QString& relative) const;

    QByteArray archivePage() const;

    /// An archive page in the same markup with `count` days, one a day back from `newest`, each
    /// line linking "apYYMMDD.html" with a made-up title (for timing the list with thousands).
    static QByteArray bigArchivePage(int count, const QDate& newest);
    /// The archive page around the given day lines (each without its line feed).
    static QByteArray archivePageFor(const QList<QByteArray>& lines);
    /// One archive line: "2023 October 17:  <a href=\"ap231017.html\">A Desert Eclipse</a><br>".
    static QByteArray archiveLineFor(const QDate& date, const QByteArray& title);

    /// Small real pictures of `size`, filled with a gradient so that no two sizes look alike.
    static QByteArray makePng(const QSize& size);
    static QByteArray makeJpeg(const QSize& size);
    static QByteArray makeGif(const QSize& size);

private:
    FixtureServer* m_server;
    QString m_prefix;
    QList<ApodDay> m_days;
};

/// Starts a new fixture server on this machine with an ApodSite under "/~apod" and points the
/// program's APOD server at it. False when the server cannot listen.
bool serveApodSite(std::unique_ptr<FixtureServer>& server, std::unique_ptr<ApodSite>& site);

} // namespace Starwick::Test
