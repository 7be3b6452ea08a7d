#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace Starwick {

// The archive page lists one day per line inside a bold block, newest first:
//   2023 February 11:  <a href="ap230211.html">Magellanic Clouds over Chile</a><br>
// Today's page opens with a bold note before that block; older copies start the list at the page's
// first "<b>".

/// The archive's day block: the text between the "<b>" and "</b>" of the first bold block that
/// holds a day line. When no block holds one, the text between the page's first "<b>" and its first
/// "</b>" (from the page's third character on without a "<b>"; up to the end without a "</b>").
QString ArchiveDayBlock(const QString& page);
/// The first "<b>"..."</b>" block of `page` that holds a day line, as a view into `page`; a null
/// view when none does (no fallback).
QStringView FindArchiveDayBlock(const QString& page);

/// The block's lines: every CR, LF and CR LF ends a line, each line is trimmed, and lines that are
/// empty or only "<br>" (in any letter case) are left out.
QStringList SplitArchiveBlock(const QString& block);

/// Whether `line` reads as a day: a date with a month name and a year after 1900 before its first
/// ":", and a link to a page (".html") after it.
bool IsDayLine(const QString& line);

/// What one archive line gives for its row of the day list.
struct ArchiveRow
{
    QString href;        ///< the link target between the line's first `="` and its first `">`
    QString pageURL;     ///< "http://" + server + "/apod/" + href
    QString displayText; ///< year "/" month "/" day ":" title, the title without tags
};

/// Reads archive lines in the page's order. A line whose date lacks the year, the month or the day
/// takes it from the line before, so one parser reads one pass over the list.
class ArchiveLineParser
{
public:
    /// `server`: the APOD host with an optional path prefix, such as "www.star.ucl.ac.uk/~apod".
    explicit ArchiveLineParser(QString server);

    /// The row for one trimmed archive line. `yield` is passed to ClearHTML for the title's tags.
    ArchiveRow parse(const QString& line, const std::function<void()>& yield = {});

private:
    QString m_server;
    QString m_year;
    QString m_month;
    QString m_day;
};

} // namespace Starwick
