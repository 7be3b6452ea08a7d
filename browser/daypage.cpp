#include "browser/daypage.h"

#include "browser/pagetext.h"

#include <QStringView>

#include <algorithm>
#include <utility>

namespace Starwick {

using TextOps::Field;

namespace {

bool startsAt(QStringView text, qsizetype at, QLatin1String word, Qt::CaseSensitivity cs = Qt::CaseSensitive)
{
    return text.mid(at).startsWith(word, cs);
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

qsizetype skipSpace(QStringView text, qsizetype at)
{
    while (at < text.size() && text.at(at).isSpace())
        ++at;
    return at;
}

// Finds a marker at or after positions that only move forward, reusing the last answer while it
// still lies ahead: a page with many openers and no closer then costs one search, not one each.
class ForwardSearch
{
public:
    ForwardSearch(QStringView text, QString marker)
        : m_text(text)
        , m_marker(std::move(marker))
    {}

    qsizetype from(qsizetype at)
    {
        if (m_start < 0 || at < m_start || (m_found >= 0 && m_found < at)) {
            m_start = at;
            m_found = m_text.indexOf(m_marker, at, Qt::CaseInsensitive);
        }
        return m_found;
    }

private:
    QStringView m_text;
    QString m_marker;
    qsizetype m_start = -1;
    qsizetype m_found = -1;
};

// Elements whose content is not page text: their "<" and ">" are not tags.
const QLatin1String kRawTextElements[] = {QLatin1String("script"), QLatin1String("style"), QLatin1String("title"),
                                          QLatin1String("textarea")};
constexpr int kRawTextElementCount = 4;

int rawTextElement(QStringView name)
{
    for (int k = 0; k < kRawTextElementCount; ++k) {
        if (name.compare(kRawTextElements[k], Qt::CaseInsensitive) == 0)
            return k;
    }
    return -1;
}

// The page without its comments and the content of its script and style elements, which text
// stripping would otherwise leave standing before the labels. An unclosed comment or element is
// kept as it stands.
QString withoutHiddenText(const QString& page)
{
    const QStringView text(page);
    const QLatin1String hidden[] = {QLatin1String("script"), QLatin1String("style")};
    ForwardSearch commentEnd(text, QStringLiteral("-->"));
    ForwardSearch elementEnd[] = {{text, QStringLiteral("</script")}, {text, QStringLiteral("</style")}};
    // A closer with no ">" anywhere after it ends nothing; knowing where the last ">" stands
    // answers that without a search per opener.
    const qsizetype lastTagEnd = text.lastIndexOf(u'>');
    QString out;
    qsizetype from = 0;
    qsizetype at = 0;
    while ((at = text.indexOf(u'<', at)) >= 0) {
        qsizetype end = -1;
        if (startsAt(text, at, QLatin1String("<!--"))) {
            const qsizetype close = commentEnd.from(at + 4);
            end = close < 0 ? -1 : close + 3;
        } else {
            for (int k = 0; k < 2; ++k) {
                const qsizetype after = at + 1 + hidden[k].size();
                if (!startsAt(text, at + 1, hidden[k], Qt::CaseInsensitive) || after >= text.size())
                    continue;
                const QChar next = text.at(after);
                if (!next.isSpace() && next != u'>' && next != u'/')
                    continue;
                const qsizetype close = elementEnd[k].from(after);
                const qsizetype gt = close < 0 || close > lastTagEnd ? -1 : text.indexOf(u'>', close);
                end = gt < 0 ? -1 : gt + 1;
                break;
            }
        }
        if (end < 0) {
            ++at;
            continue;
        }
        if (from == 0)
            out.reserve(page.size());
        out.append(text.mid(from, at - from));
        from = at = end;
    }
    if (from == 0)
        return page; // nothing hidden: the page itself, shared rather than copied
    out.append(text.mid(from));
    return out;
}

const QLatin1String kNotPictures[] = {
    QLatin1String("mp4"), QLatin1String("m4v"),  QLatin1String("mov"),  QLatin1String("webm"),
    QLatin1String("ogv"), QLatin1String("ogg"),  QLatin1String("avi"),  QLatin1String("mkv"),
    QLatin1String("mpg"), QLatin1String("mpeg"), QLatin1String("wmv"),  QLatin1String("flv"),
    QLatin1String("3gp"), QLatin1String("swf"),  QLatin1String("html"), QLatin1String("htm"),
};

bool isNotPicture(QStringView value)
{
    qsizetype end = value.size();
    for (QChar stop : {u'?', u'#'}) {
        const qsizetype at = value.indexOf(stop);
        if (at >= 0 && at < end)
            end = at;
    }
    const QStringView path = value.left(end).trimmed();
    const QStringView name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QStringView extension = name.mid(dot + 1);
    for (QLatin1String notPicture : kNotPictures) {
        if (extension.compare(notPicture, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Reads the attributes of the tag whose name ends before `at`; returns the position after the tag's
// ">" (or the text's end), and sets `found` to the first picture reference among them.
qsizetype readAttributes(QStringView text, qsizetype at, bool look, QStringView* found)
{
    const qsizetype n = text.size();
    for (;;) {
        while (at < n && (text.at(at).isSpace() || text.at(at) == u'/'))
            ++at;
        if (at >= n)
            return n;
        if (text.at(at) == u'>')
            return at + 1;
        const qsizetype nameStart = at++; // a name may begin with "=", which then is part of it
        while (at < n && !text.at(at).isSpace() && text.at(at) != u'=' && text.at(at) != u'>' && text.at(at) != u'/')
            ++at;
        const QStringView name = text.mid(nameStart, at - nameStart);
        at = skipSpace(text, at);
        if (at >= n || text.at(at) != u'=')
            continue;
        at = skipSpace(text, at + 1);
        QStringView value;
        if (at < n && (text.at(at) == u'"' || text.at(at) == u'\'')) {
            const QChar quote = text.at(at);
            const qsizetype close = text.indexOf(quote, at + 1);
            const qsizetype end = close < 0 ? n : close;
            value = text.mid(at + 1, end - at - 1);
            at = close < 0 ? n : close + 1;
        } else {
            const qsizetype start = at;
            while (at < n && !text.at(at).isSpace() && text.at(at) != u'>')
                ++at;
            value = text.mid(start, at - start);
        }
        const bool reference = name.compare(QLatin1String("href"), Qt::CaseInsensitive) == 0 ||
                               name.compare(QLatin1String("src"), Qt::CaseInsensitive) == 0;
        if (look && found->isNull() && reference && value.startsWith(QLatin1String("image/")) && !isNotPicture(value))
            *found = value;
    }
}

// The value of the first picture reference on the page (starting "image/"), or a null view.
QStringView pictureReference(QStringView text)
{
    const qsizetype n = text.size();
    ForwardSearch commentEnd(text, QStringLiteral("-->"));
    ForwardSearch elementEnd[kRawTextElementCount] = {{text, QStringLiteral("</script")},
                                                      {text, QStringLiteral("</style")},
                                                      {text, QStringLiteral("</title")},
                                                      {text, QStringLiteral("</textarea")}};
    qsizetype at = 0;
    while (at < n) {
        const QChar c = text.at(at);
        if (c == u'E' && startsAt(text, at, QLatin1String("Explanation:")))
            return {}; // what the explanation links to is not the day's picture
        if (c != u'<') {
            ++at;
            continue;
        }
        if (startsAt(text, at, QLatin1String("<!--"))) {
            const qsizetype close = commentEnd.from(at + 4);
            at = close < 0 ? at + 4 : close + 3; // an unclosed comment hides nothing
            continue;
        }
        if (at + 1 < n && (text.at(at + 1) == u'!' || text.at(at + 1) == u'?')) {
            const qsizetype close = text.indexOf(u'>', at);
            if (close < 0)
                return {};
            at = close + 1;
            continue;
        }
        const bool endTag = at + 1 < n && text.at(at + 1) == u'/';
        qsizetype nameEnd = at + (endTag ? 2 : 1);
        if (nameEnd >= n || !isAsciiLetter(text.at(nameEnd))) {
            ++at; // a "<" that starts no tag is text
            continue;
        }
        const qsizetype nameStart = nameEnd;
        while (nameEnd < n && !text.at(nameEnd).isSpace() && text.at(nameEnd) != u'/' && text.at(nameEnd) != u'>')
            ++nameEnd;
        const QStringView name = text.mid(nameStart, nameEnd - nameStart);
        QStringView found;
        at = readAttributes(text, nameEnd, !endTag, &found);
        if (!found.isNull())
            return found;
        const int element = endTag ? -1 : rawTextElement(name);
        if (element >= 0) {
            const qsizetype close = elementEnd[element].from(at);
            if (close >= 0) // an unclosed one is read on as markup
                at = close;
        }
    }
    return {};
}

// Where the credit starts after a credit label at `at` ("Credit" [s] [(& | &amp; | and) Copyright
// [s]] ":"), or -1 when no such label stands there. `copyright` says whether the label names it.
qsizetype afterCreditLabel(QStringView t, qsizetype at, bool* copyright)
{
    qsizetype i = at + 6; // "Credit"
    if (i < t.size() && t.at(i) == u's')
        ++i;
    i = skipSpace(t, i);
    *copyright = false;
    for (QLatin1String joint : {QLatin1String("&amp;"), QLatin1String("&"), QLatin1String("and")}) {
        if (!startsAt(t, i, joint))
            continue;
        qsizetype j = skipSpace(t, i + joint.size());
        if (!startsAt(t, j, QLatin1String("Copyright")))
            break;
        j += 9;
        if (j < t.size() && t.at(j) == u's')
            ++j;
        i = skipSpace(t, j);
        *copyright = true;
        break;
    }
    return i < t.size() && t.at(i) == u':' ? i + 1 : -1;
}

// Start (0-based) of the credit in the tag-free text `t`, or -1. A label naming the copyright comes
// first, then a plain label; without a label, the text 20 characters after the first "Credit &
// Copyright" or 7 after the first "Credit".
qsizetype creditStart(const QString& t)
{
    const QStringView text(t);
    const QLatin1String credit("Credit");
    qsizetype plain = -1;
    for (qsizetype at = text.indexOf(credit); at >= 0; at = text.indexOf(credit, at + 1)) {
        bool copyright = false;
        const qsizetype start = afterCreditLabel(text, at, &copyright);
        if (start >= 0 && copyright)
            return start;
        if (start >= 0 && plain < 0)
            plain = start;
    }
    if (plain >= 0)
        return plain;
    const qsizetype withCopyright = text.indexOf(QLatin1String("Credit & Copyright"));
    if (withCopyright >= 0)
        return withCopyright + 20;
    const qsizetype any = text.indexOf(credit);
    return any < 0 ? -1 : any + 7;
}

// What follows a day's explanation on the site's pages, by decade: the label of the next day
// ("Tomorrow's picture:", on a few pages "Next picture:"), on the first pages the note "We keep an
// archive ...", and on every page the footer: a rule above the navigation links, then the
// editors' and NASA's lines.
const QLatin1String kNextDayLabels[] = {QLatin1String("Tomorrow's picture"), QLatin1String("Tomorrow&#39;s picture"),
                                        QLatin1String("Tomorrow&rsquo;s picture"), QLatin1String("Next picture:")};
const QLatin1String kFooterLabels[] = {QLatin1String("Authors & editors"), QLatin1String("Authors &amp; editors"),
                                       QLatin1String("NASA Official")};

// A text fit for a file name: "/" becomes "-", control characters blanks.
QString withoutPathCharacters(QString text)
{
    for (QChar& c : text) {
        if (c == u'/')
            c = u'-';
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = u' ';
    }
    return text;
}

qsizetype earliest(qsizetype a, qsizetype b)
{
    return a < 0 ? b : (b < 0 ? a : std::min(a, b));
}

// The first label that ends a day's text at or after `from` in `text`, or -1. The next day's label
// in a typographic apostrophe counts too. `rules`: whether a horizontal rule ("<hr") counts, which
// only the page with its tags can show.
qsizetype dayTextEnd(QStringView text, qsizetype from, bool rules)
{
    qsizetype end = -1;
    for (QLatin1String label : kNextDayLabels)
        end = earliest(end, text.indexOf(label, from, Qt::CaseInsensitive));
    end = earliest(end, text.indexOf(u"Tomorrow\u2019s picture", from, Qt::CaseInsensitive));
    for (QLatin1String label : kFooterLabels)
        end = earliest(end, text.indexOf(label, from, Qt::CaseInsensitive));
    if (rules) {
        for (qsizetype at = text.indexOf(QLatin1String("<hr"), from, Qt::CaseInsensitive); at >= 0;
             at = text.indexOf(QLatin1String("<hr"), at + 3, Qt::CaseInsensitive)) {
            const QChar next = at + 3 < text.size() ? text.at(at + 3) : QChar(u'>');
            if (next.isSpace() || next == u'>' || next == u'/') {
                end = earliest(end, at);
                break;
            }
        }
    }
    return end;
}

} // namespace

DayPicture FindDayPicture(const QString& dayText, const QString& server)
{
    DayPicture picture;
    const QStringView reference = pictureReference(dayText);
    picture.relativePath = reference.isNull() ? QString() : reference.mid(6).trimmed().toString();
    const QString tail = picture.relativePath.right(5);
    picture.ext = Field(tail, QStringLiteral("."), 2).toLower().trimmed();
    // The extension is cut from the page's own path, which may hold a "/" after its last dot.
    picture.saveName = DayTitle(dayText) + u'.' + withoutPathCharacters(picture.ext);
    if (reference.isNull())
        return picture;

    const QString& rel = picture.relativePath;
    const QString cacheName = rel.contains(u'/') ? Field(rel, QStringLiteral("/"), 2) : rel;
    if (!IsSafeCacheName(cacheName)) {
        picture.outcome = DayPicture::Outcome::UnsafeName;
        return picture;
    }
    picture.outcome = DayPicture::Outcome::Picture;
    picture.cacheName = cacheName;
    picture.url = (QStringLiteral("http://") + server + QStringLiteral("/apod/image/") + rel).trimmed();
    return picture;
}

bool IsSafeCacheName(const QString& name)
{
    // A leading "." would also make a hidden file, which the cache purge keeps for good.
    if (name.isEmpty() || name.startsWith(u'.'))
        return false;
    for (QChar c : name) {
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return name.toUtf8().size() <= 255;
}

QString DayTitle(const QString& dayText)
{
    return withoutPathCharacters(
               Field(Field(withoutHiddenText(dayText), QStringLiteral("<b>"), 2), QStringLiteral("</b>"), 1))
        .trimmed();
}

QString CutCredits(const QString& dayText, const std::function<void()>& yield)
{
    const QString t = ClearHTML(withoutHiddenText(dayText), yield);
    const qsizetype start = creditStart(t);
    if (start < 0)
        return QString();
    qsizetype end = t.indexOf(QLatin1String("Explanation"), start);
    if (end < 0)
        end = dayTextEnd(t, start, false);
    return t.mid(start, end < 0 ? -1 : end - start).trimmed();
}

QString CutExplanation(const QString& dayText, const std::function<void()>& yield)
{
    const QString page = withoutHiddenText(dayText);
    const QStringView text(page);
    const qsizetype label = text.indexOf(QLatin1String("Explanation:"));
    if (label < 0)
        return QString();
    qsizetype start = skipSpace(text, label + 12);
    if (startsAt(text, start, QLatin1String("</b>"), Qt::CaseInsensitive))
        start += 4;
    qsizetype end = dayTextEnd(text, start, true);
    // The first pages have no next day's label: their archive note ends the explanation.
    if (text.indexOf(QLatin1String("Tomorrow's picture"), start, Qt::CaseInsensitive) < 0)
        end = earliest(end, text.indexOf(QLatin1String("We keep an"), start));
    const QString explanation = text.mid(start, end < 0 ? -1 : end - start).trimmed().toString();
    return ClearHTML(explanation, yield);
}

} // namespace Starwick
