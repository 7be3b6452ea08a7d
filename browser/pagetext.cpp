#include "browser/pagetext.h"

#include <QStringView>

#include <utility>

namespace Starwick {

namespace {

// Windows-1252 for 0x80-0x9F. The five bytes the code page leaves undefined map to the C1 control
// of the same number, as web browsers read them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

void appendCodePoint(QString& out, char32_t cp)
{
    if (cp > 0xFFFF) {
        out.append(QChar(QChar::highSurrogate(cp)));
        out.append(QChar(QChar::lowSurrogate(cp)));
    } else {
        out.append(QChar(static_cast<char16_t>(cp)));
    }
}

// Appends `length` bytes as strict UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF); returns false, with `out` possibly half appended, at the first invalid sequence.
bool appendUtf8(QString& out, const unsigned char* p, qsizetype length)
{
    const unsigned char* end = p + length;
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            out.append(QChar(static_cast<char16_t>(b)));
            ++p;
            continue;
        }
        int more = 0;
        char32_t cp = 0;
        unsigned char low = 0x80; // bounds of the second byte, which rule out overlong forms
        unsigned char high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            more = 1;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2;
            cp = b & 0x0F;
            if (b == 0xE0)
                low = 0xA0;
            if (b == 0xED)
                high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3;
            cp = b & 0x07;
            if (b == 0xF0)
                low = 0x90;
            if (b == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        if (p[1] < low || p[1] > high)
            return false;
        for (int i = 1; i <= more; ++i) {
            if (!isContinuation(p[i]))
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        appendCodePoint(out, cp);
        p += more + 1;
    }
    return true;
}

void appendCp1252(QString& out, const unsigned char* p, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i) {
        const unsigned char b = p[i];
        out.append(QChar(b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : static_cast<char16_t>(b)));
    }
}

} // namespace

QString DecodePageText(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    QString out;
    out.reserve(size);
    qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;
        const qsizetype mark = out.size();
        if (!appendUtf8(out, data + start, end - start)) {
            out.truncate(mark);
            appendCp1252(out, data + start, end - start);
        }
        if (end < size) {
            out.append(QChar(static_cast<char16_t>(data[end]))); // the line end, CR or LF
            ++end;
        }
        start = end;
    }
    return out;
}

QString ClearHTML(QString s, const std::function<void()>& yield)
{
    // Going on from the removed tag's place gives the same text as searching again from the start
    // after each removal: everything before the removed tag holds no "<".
    const QStringView text(s);
    QString out;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = text.indexOf(u'<', from);
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(u'>', open);
        if (close < 0)
            break; // a "<" that no ">" follows is text, and so is everything after it
        if (from == 0)
            out.reserve(s.size());
        out.append(text.mid(from, open - from));
        from = close + 1;
        if (yield)
            yield();
    }
    if (from == 0)
        out = std::move(s); // no tags: the blanks below are thinned in the text itself
    else
        out.append(text.mid(from));
    // Line ends become blanks, then each pair of blanks becomes one, left to right and not again:
    // a run of three or four blanks leaves two. One pass that writes behind where it reads, so a
    // long run costs no more than its length.
    QChar* const data = out.data();
    const qsizetype size = out.size();
    auto blankAt = [data](qsizetype i) {
        const QChar c = data[i];
        return c == u' ' || c == u'\n' || c == u'\r';
    };
    qsizetype kept = 0;
    for (qsizetype i = 0; i < size; ++kept) {
        if (blankAt(i)) {
            i += i + 1 < size && blankAt(i + 1) ? 2 : 1;
            data[kept] = u' ';
        } else {
            data[kept] = data[i++];
        }
    }
    out.truncate(kept);
    return out;
}

namespace TextOps {

int Find(const QString& text, const QString& marker, int start)
{
    if (start < 1)
        start = 1;
    return static_cast<int>(text.indexOf(marker, start - 1) + 1);
}

QString Mid(const QString& text, int start, int length)
{
    if (length <= 0)
        return QString();
    if (start < 1) {
        length += start - 1;
        start = 1;
        if (length <= 0)
            return QString();
    }
    return text.mid(start - 1, length);
}

QString Field(const QString& text, const QString& separator, int n)
{
    if (n < 1)
        return QString();
    if (separator.isEmpty())
        return n == 1 ? text : QString();
    qsizetype from = 0;
    for (int i = 1; i < n; ++i) {
        const qsizetype at = text.indexOf(separator, from);
        if (at < 0)
            return QString();
        from = at + separator.size();
    }
    const qsizetype to = text.indexOf(separator, from);
    return text.mid(from, to < 0 ? -1 : to - from);
}

double Val(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;
    double sign = 1;
    if (i < n && (text.at(i) == u'-' || text.at(i) == u'+')) {
        if (text.at(i) == u'-')
            sign = -1;
        ++i;
    }
    double value = 0;
    while (i < n && text.at(i) >= u'0' && text.at(i) <= u'9')
        value = value * 10 + (text.at(i++).unicode() - u'0');
    if (i < n && text.at(i) == u'.') {
        double scale = 0.1;
        for (++i; i < n && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i, scale /= 10)
            value += (text.at(i).unicode() - u'0') * scale;
    }
    return sign * value;
}

} // namespace TextOps

} // namespace Starwick
