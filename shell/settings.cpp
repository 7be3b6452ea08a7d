#include "shell/settings.h"

#include "platform/base64.h"
#include "platform/blowfish.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <cmath>
#include <limits>

namespace Starwick {

Q_LOGGING_CATEGORY(lcSettings, "starwick.settings")

namespace {

using platform::BlowfishECB;
using platform::FolderItem;

// Appended to every value before it is enciphered; a deciphered line that lacks it is damaged.
constexpr char Filler[] = "xxxxxxx";
constexpr qsizetype FillerSize = sizeof(Filler) - 1;

constexpr std::array<SettingsLineInfo, SettingsLine::Count> Table{{
    {1, SettingForm::Enc, nullptr, nullptr, "Not Personalized"},
    {2, SettingForm::Enc, "Do Check", "Do Not Check", "Do Not Check"},
    {3, SettingForm::Enc, "Delete Cache", "Do Not Delete Cache", "Do Not Delete Cache"},
    {4, SettingForm::Enc, "Use Sounds", "Do Not Use Sounds", "Use Sounds"},
    {5, SettingForm::Enc, "Hide Warning", "Do Not Hide Warning", "Do Not Hide Warning"},
    {6, SettingForm::Enc, nullptr, nullptr, ""},
    {7, SettingForm::Enc, nullptr, nullptr, ""},
    {8, SettingForm::Enc, nullptr, nullptr, ""},
    {9, SettingForm::Enc, nullptr, nullptr, ""},
    {10, SettingForm::Enc, "Do Use Proxy Server", "Do Not Use Proxy Server", "Do Not Use Proxy Server"},
    {11, SettingForm::Enc, nullptr, nullptr, "8BIM"},
    {12, SettingForm::Enc, "Remember Position", "Do Not Remember Position", nullptr},
    {13, SettingForm::Plain, nullptr, nullptr, nullptr},
    {14, SettingForm::Plain, nullptr, nullptr, nullptr},
    {15, SettingForm::Enc, "Remember Size", "Do Not Remember Size", nullptr},
    {16, SettingForm::Plain, nullptr, nullptr, nullptr},
    {17, SettingForm::Plain, nullptr, nullptr, nullptr},
}};

bool validLine(int line)
{
    return line >= 1 && line <= SettingsLine::Count;
}

QString tr(const char* text)
{
    return QCoreApplication::translate("Starwick::Settings", text);
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

/// The Integer of a decimal text, 0 when it is none.
int toInteger(const QString& text)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return 0;
    const double rounded = std::round(number);
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
        return 0;
    return static_cast<int>(rounded);
}

bool writeLines(const QStringList& lines, QString* error, QString* cause)
{
    // The file holds the proxy password: it is its owner's alone, in a folder no one else can
    // enter (which also hides a new file in the moment before its mode is narrowed). A folder
    // and file made open to everyone before are narrowed here, at their next write.
    QString folderError;
    if (SettingsFolder().Directory() && !SettingsFolder().RestrictToOwner(&folderError))
        qCWarning(lcSettings, "%s", qPrintable(folderError));
    FolderItem file = SettingsFile();
    if (!platform::TextFile::Rewrite(file, lines, error, platform::FileAccess::OwnerOnly, cause))
        return false;
    // The file is written under its name already; the codes are kept only where the file
    // system takes user attributes, and their absence is no failure.
    file.SetName(QStringLiteral("Starwick Preferences"));
    file.SetMacCreator(QStringLiteral("Qwlk"));
    file.SetMacType(QStringLiteral("pref"));
    return true;
}

} // namespace

QString EncodeSetting(const QString& value)
{
    BlowfishECB cipher{QByteArray(SettingsKey)};
    QByteArray data = cipher.Encrypt(value.toUtf8() + Filler);
    data += cipher.FinishEncrypt();
    return platform::Base64Encode(data);
}

QString DecodeSetting(const QString& line)
{
    if (line.isEmpty())
        return {};
    bool ok = false;
    const QByteArray data = platform::Base64Decode(line, &ok);
    if (!ok)
        return {};
    BlowfishECB cipher{QByteArray(SettingsKey)};
    BlowfishECB::FinishStatus status = BlowfishECB::FinishStatus::Complete;
    QByteArray plain = cipher.Decrypt(data);
    plain += cipher.FinishDecrypt(&status);
    // Whole blocks without padding are what a zero-padding encoder writes when the text fills
    // its last block; the filler at the end still tells such a line from a damaged one.
    if (status != BlowfishECB::FinishStatus::Complete && status != BlowfishECB::FinishStatus::BadPadding)
        return {};
    if (!plain.endsWith(Filler))
        return {};
    plain.chop(FillerSize);
    return QString::fromUtf8(plain);
}

FolderItem SettingsFolder()
{
    return FolderItem::PreferencesFolder()
        .Child(QStringLiteral("Quorrel Design Stuff"))
        .Child(QStringLiteral("Starwick"));
}

FolderItem CacheFolder()
{
    return SettingsFolder().Child(QStringLiteral("Cache"));
}

FolderItem SettingsFile()
{
    return SettingsFolder().Child(QStringLiteral("Starwick Preferences"));
}

const std::array<SettingsLineInfo, SettingsLine::Count>& SettingsTable()
{
    return Table;
}

const SettingsLineInfo& SettingsLineInfoFor(int line)
{
    Q_ASSERT(validLine(line));
    return Table.at(static_cast<size_t>(validLine(line) ? line - 1 : 0));
}

SettingsLines::SettingsLines(const QStringList& rawLines)
{
    m_count = static_cast<int>(std::min<qsizetype>(rawLines.size(), SettingsLine::Count));
    for (int i = 0; i < m_count; ++i)
        m_lines.at(static_cast<size_t>(i)) = rawLines.at(i);
}

QString SettingsLines::raw(int line) const
{
    return validLine(line) ? m_lines.at(static_cast<size_t>(line - 1)) : QString();
}

void SettingsLines::setRaw(int line, const QString& text)
{
    if (validLine(line))
        m_lines.at(static_cast<size_t>(line - 1)) = text;
}

QString SettingsLines::value(int line) const
{
    if (!validLine(line))
        return {};
    return SettingsLineInfoFor(line).form == SettingForm::Enc ? DecodeSetting(raw(line)) : raw(line);
}

int SettingInteger(const QString& text)
{
    return toInteger(text);
}

int SettingsLines::number(int line) const
{
    return toInteger(value(line));
}

bool SettingsLines::isOn(int line) const
{
    if (!validLine(line) || !SettingsLineInfoFor(line).onWord)
        return false;
    return value(line) == QLatin1String(SettingsLineInfoFor(line).onWord);
}

void SettingsLines::setValue(int line, const QString& text)
{
    if (!validLine(line))
        return;
    setRaw(line, SettingsLineInfoFor(line).form == SettingForm::Enc ? EncodeSetting(text) : text);
}

void SettingsLines::setNumber(int line, int number)
{
    setValue(line, QString::number(number));
}

void SettingsLines::setOn(int line, bool on)
{
    if (!validLine(line) || !SettingsLineInfoFor(line).onWord)
        return;
    const SettingsLineInfo& info = SettingsLineInfoFor(line);
    setValue(line, QLatin1String(on ? info.onWord : info.offWord));
}

void SettingsLines::setFrame(int top, int left, int width, int height)
{
    setNumber(SettingsLine::Top, top);
    setNumber(SettingsLine::Left, left);
    setNumber(SettingsLine::Width, width);
    setNumber(SettingsLine::Height, height);
}

QStringList SettingsLines::lines(int count) const
{
    QStringList result;
    for (int line = 1; line <= std::min(count, SettingsLine::Count); ++line)
        result << raw(line);
    return result;
}

SettingsLines ReadSettingsFile(SettingsFileStatus* status, QString* error, QString* cause)
{
    auto report = [status](SettingsFileStatus value) {
        if (status)
            *status = value;
    };
    const FolderItem file = SettingsFile();
    if (!file.Exists()) {
        report(SettingsFileStatus::Missing);
        return {};
    }
    platform::TextFile text;
    if (!text.Open(file, error, cause)) {
        report(SettingsFileStatus::Unreadable);
        return {};
    }
    QStringList raw;
    while (raw.size() < SettingsLine::Count && !text.EndOfFile())
        raw << text.ReadLine();
    if (text.readFailed()) {
        setError(error, text.errorString());
        setError(cause, text.errorCause());
        report(SettingsFileStatus::Unreadable);
        return {};
    }
    report(SettingsFileStatus::Read);
    return SettingsLines(raw);
}

SettingsLines DefaultSettingsLines()
{
    SettingsLines lines;
    for (const SettingsLineInfo& info : Table) {
        if (info.defaultValue)
            lines.setValue(info.line, QLatin1String(info.defaultValue));
    }
    return SettingsLines(lines.lines(SettingsLine::DefaultCount));
}

bool WriteSettingsFile(const SettingsLines& lines, QString* error, QString* cause)
{
    return writeLines(lines.lines(SettingsLine::Count), error, cause);
}

void RemoveSettingsLeftovers()
{
    platform::TextFile::RemoveRewriteLeftovers(SettingsFile());
}

bool WriteDefaultSettingsFile(QString* error, QString* cause)
{
    const SettingsLines lines = DefaultSettingsLines();
    if (SettingsFile().Exists()) {
        setError(error, tr("The settings file %1 exists already.").arg(SettingsFile().path()));
        setError(cause, tr("the file exists already"));
        return false;
    }
    return writeLines(lines.lines(SettingsLine::DefaultCount), error, cause);
}

SettingsUpdate UpdateSettingsFile(const std::function<void(SettingsLines&)>& change, QString* error, QString* cause)
{
    SettingsFileStatus status = SettingsFileStatus::Missing;
    SettingsLines lines = ReadSettingsFile(&status, error, cause);
    if (status == SettingsFileStatus::Missing)
        return SettingsUpdate::NoFile;
    if (status == SettingsFileStatus::Unreadable)
        return SettingsUpdate::Failed;
    if (change)
        change(lines);
    return WriteSettingsFile(lines, error, cause) ? SettingsUpdate::Written : SettingsUpdate::Failed;
}

} // namespace Starwick
