#include "dialogs/versioncheck.h"

#include <QList>

#include <algorithm>

namespace Starwick {

namespace {

constexpr int kMaxParts = 4;
constexpr int kMaxDigits = 9; // a part always fits an int

// The parts of a version, or nothing when `text` is not one.
std::optional<QList<int>> versionParts(QStringView text)
{
    QList<int> parts;
    int value = 0;
    int digits = 0;
    for (const QChar c : text) {
        if (c == u'.') {
            if (digits == 0 || parts.size() + 1 >= kMaxParts)
                return std::nullopt;
            parts.append(value);
            value = 0;
            digits = 0;
        } else if (c >= u'0' && c <= u'9') {
            if (++digits > kMaxDigits)
                return std::nullopt;
            value = value * 10 + (c.unicode() - u'0');
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    parts.append(value);
    return parts;
}

} // namespace

std::optional<int> CompareVersions(QStringView a, QStringView b)
{
    const std::optional<QList<int>> left = versionParts(a);
    const std::optional<QList<int>> right = versionParts(b);
    if (!left || !right)
        return std::nullopt;
    for (qsizetype i = 0; i < std::max(left->size(), right->size()); ++i) {
        const int x = left->value(i, 0);
        const int y = right->value(i, 0);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

VersionAnswer ReadVersionFile(int status, bool whole, const QByteArray& content, const QString& running)
{
    if (status >= 400 || !whole)
        return {};
    // The longest version is 4 x 9 digits and 3 dots; a longer body is not one, and is not read.
    constexpr qsizetype kLongestVersion = kMaxParts * kMaxDigits + kMaxParts - 1;
    const QByteArray trimmed = content.trimmed();
    if (trimmed.size() > kLongestVersion)
        return {};
    const QString version = QString::fromLatin1(trimmed);
    const std::optional<int> order = CompareVersions(version, running);
    if (!order)
        return {};
    if (*order > 0)
        return {VersionAnswer::Newer, version};
    return {VersionAnswer::UpToDate, version};
}

} // namespace Starwick
