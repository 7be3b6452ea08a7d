#include "browser/archivepage.h"

#include "browser/pagetext.h"

#include <QStringView>

#include <utility>

namespace Starwick {

using TextOps::Field;
using TextOps::Find;
using TextOps::Mid;
using TextOps::Val;

namespace {

struct MonthName
{
    QLatin1String name;
    QLatin1String number;
};

const MonthName kMonths[] = {
    {QLatin1String("January"), QLatin1String("01")},   {QLatin1String("February"), QLatin1String("02")},
    {QLatin1String("March"), QLatin1String("03")},     {QLatin1String("April"), QLatin1String("04")},
    {QLatin1String("May"), QLatin1String("05")},       {QLatin1String("June"), QLatin1String("06")},
    {QLatin1String("July"), QLatin1String("07")},      {QLatin1String("August"), QLatin1String("08")},
    {QLatin1String("September"), QLatin1String("09")}, {QLatin1String("October"), QLatin1String("10")},
    {QLatin1String("November"), QLatin1String("11")},  {QLatin1String("December"), QLatin1String("12")},
};

// The month number for an English month name, or "".
QLatin1String monthNumber(const QString& field)
{
    for (const MonthName& month : kMonths) {
        if (field == month.name)
            return month.number;
    }
    return QLatin1String();
}

struct DateFields
{
    QString f1, f2, f3;
};

// The first three blank-separated fields of the text before the line's first ":", each trimmed.
DateFields dateFields(const QString& line)
{
    const QString datepart = Field(line, QStringLiteral(":"), 1).trimmed();
    const QString blank = QStringLiteral(" ");
    return {Field(datepart, blank, 1).trimmed(), Field(datepart, blank, 2).trimmed(),
            Field(datepart, blank, 3).trimmed()};
}

bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r';
}

bool holdsDayLine(QStringView block)
{
    qsizetype start = 0;
    while (start < block.size()) {
        qsizetype end = start;
        while (end < block.size() && !isLineEnd(block.at(end)))
            ++end;
        if (IsDayLine(block.mid(start, end - start).trimmed().toString()))
            return true;
        start = end + 1;
    }
    return false;
}

// The page's first "<b>" through its first "</b>", the latter searched from the page's start.
QString firstBoldCut(const QString& page)
{
    const int p1 = Find(page, QStringLiteral("<b>"));
    const int p2 = Find(page, QStringLiteral("</b>"));
    if (p2 == 0)
        return page.mid(p1 + 2); // a page cut off before its "</b>" still lists its days
    return Mid(page, p1 + 3, p2 - (p1 + 3));
}

} // namespace

QString ArchiveDayBlock(const QString& page)
{
    const QStringView block = FindArchiveDayBlock(page);
    return block.isNull() ? firstBoldCut(page) : block.toString();
}

QStringView FindArchiveDayBlock(const QString& page)
{
    const QStringView text(page);
    const QLatin1String open("<b>");
    const QLatin1String close("</b>");
    qsizetype from = 0;
    for (;;) {
        const qsizetype p1 = text.indexOf(open, from);
        if (p1 < 0)
            break;
        const qsizetype start = p1 + open.size();
        const qsizetype p2 = text.indexOf(close, start);
        const QStringView block = p2 < 0 ? text.mid(start) : text.mid(start, p2 - start);
        if (holdsDayLine(block))
            return block.isNull() ? QStringView(u"") : block;
        if (p2 < 0)
            break;
        from = p2 + close.size();
    }
    return QStringView();
}

QStringList SplitArchiveBlock(const QString& block)
{
    QStringList lines;
    const QStringView text(block);
    qsizetype start = 0;
    for (;;) {
        qsizetype end = start;
        while (end < text.size() && !isLineEnd(text.at(end)))
            ++end;
        const QStringView piece = text.mid(start, end - start).trimmed();
        if (!piece.isEmpty() && piece.compare(QLatin1String("<br>"), Qt::CaseInsensitive) != 0)
            lines.append(piece.toString());
        if (end >= text.size())
            break;
        start = end + 1;
    }
    return lines;
}

bool IsDayLine(const QString& line)
{
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0)
        return false;
    const DateFields f = dateFields(line);
    const bool hasMonth = !monthNumber(f.f1).isEmpty() || !monthNumber(f.f2).isEmpty() || !monthNumber(f.f3).isEmpty();
    const bool hasYear = Val(f.f1) > 1900 || Val(f.f3) > 1900;
    const QStringView link = QStringView(line).mid(colon + 1);
    return hasMonth && hasYear && link.contains(QLatin1String("href="), Qt::CaseInsensitive) &&
           link.contains(QLatin1String(".htm"), Qt::CaseInsensitive);
}

ArchiveLineParser::ArchiveLineParser(QString server)
    : m_server(std::move(server))
{}

ArchiveRow ArchiveLineParser::parse(const QString& line, const std::function<void()>& yield)
{
    ArchiveRow row;
    const int q1 = Find(line, QStringLiteral("=\""));
    const int q2 = Find(line, QStringLiteral("\">"));
    row.href = Mid(line, q1 + 2, q2 - (q1 + 2));
    row.pageURL = QStringLiteral("http://") + m_server + QStringLiteral("/apod/") + row.href;

    const DateFields f = dateFields(line);
    for (const QString* field : {&f.f1, &f.f2, &f.f3}) {
        const QLatin1String month = monthNumber(*field);
        if (!month.isEmpty())
            m_month = month;
    }
    if (Val(f.f1) > 1900)
        m_year = f.f1;
    else if (Val(f.f3) > 1900)
        m_year = f.f3;
    if (f.f2.size() == 2)
        m_day = f.f2;
    else if (f.f3.size() == 2)
        m_day = f.f3;

    // The title is everything after the first ": " (the one that ends the date): titles such as
    // "M31: The Andromeda Galaxy" hold the separator themselves and stay whole.
    const qsizetype separator = line.indexOf(QStringLiteral(": "));
    const QString title = separator < 0 ? QString() : ClearHTML(line.mid(separator + 2), yield);
    row.displayText = m_year + u'/' + m_month + u'/' + m_day + u':' + title;
    return row;
}

} // namespace Starwick
