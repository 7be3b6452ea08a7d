#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace Starwick {

/// How `a` stands to `b` as versions: a negative number when older, 0 when the same, a positive
/// number when newer; nothing when either is not a version. A version is a short dotted number
/// ("1.2.0", "2.0", "1.2.10"): one to four parts of one to nine digits each, compared part by part
/// as numbers, a missing part counting as 0 ("1.2" is "1.2.0").
std::optional<int> CompareVersions(QStringView a, QStringView b);

/// What a version file answers about the running version.
struct VersionAnswer
{
    enum Outcome
    {
        UpToDate, ///< the same version as the running one, or an older one
        Newer,    ///< a newer release exists: `version`
        Failed,   ///< no version could be had: an error status, a cut transfer, a body that is not one
    };
    Outcome outcome = Failed;
    /// The version the file names, trimmed; empty when the check failed.
    QString version;
};

/// Reads the answer to a request for the version file: its HTTP `status`, whether the transfer
/// was `whole`, and its body, which holds one version, with white space around it or not.
VersionAnswer ReadVersionFile(int status, bool whole, const QByteArray& content, const QString& running);

} // namespace Starwick
