#pragma once

#include "platform/folderitem.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace Starwick {

/// The key string of every cipher object of the settings codec, used as it is.
inline constexpr char SettingsKey[] = "quietlanternmossfield";

/// The line to store for `value`: the value with seven "x" appended, enciphered with Blowfish
/// (ECB, keyed with SettingsKey) and written as one line of Base64.
QString EncodeSetting(const QString& value);

/// The value stored in `line`. A damaged line (not Base64, not whole cipher blocks, bad padding,
/// or a deciphered text that does not end in the seven "x") decodes to the empty value, as does
/// an empty line.
QString DecodeSetting(const QString& line);

/// The Integer of a text as the settings take numbers: the decimal number it holds (a fraction
/// rounded to the nearest, halves away from zero); 0 when it is not a number or does not fit.
int SettingInteger(const QString& text);

/// The settings folders and file, built from the user's Preferences folder at each call:
/// Preferences / "Quorrel Design Stuff" / "Starwick", its child "Cache", and its child
/// "Starwick Preferences".
platform::FolderItem SettingsFolder();
platform::FolderItem CacheFolder();
platform::FolderItem SettingsFile();

/// The settings file's lines by number.
namespace SettingsLine {
inline constexpr int UserName = 1;
inline constexpr int CheckForUpdates = 2;
inline constexpr int DeleteCache = 3;
inline constexpr int UseSounds = 4;
inline constexpr int HideWarning = 5;
inline constexpr int ProxyAddress = 6;
inline constexpr int ProxyPort = 7;
inline constexpr int ProxyUserName = 8;
inline constexpr int ProxyPassword = 9;
inline constexpr int UseProxy = 10;
inline constexpr int FileType = 11;
inline constexpr int RememberPosition = 12;
inline constexpr int Top = 13;
inline constexpr int Left = 14;
inline constexpr int RememberSize = 15;
inline constexpr int Width = 16;
inline constexpr int Height = 17;
inline constexpr int Count = 17;
/// How many lines the default file of a first launch has.
inline constexpr int DefaultCount = 11;
} // namespace SettingsLine

/// How a line is stored: enciphered through EncodeSetting, or as the plain decimal text of an
/// Integer.
enum class SettingForm
{
    Enc,
    Plain,
};

/// One line of the settings file. On/off lines carry their word pair: the setting is on exactly
/// when the line's value equals `onWord`. `defaultValue` is the value of the default file, or
/// null for a line the default file does not have.
struct SettingsLineInfo
{
    int line;
    SettingForm form;
    const char* onWord;
    const char* offWord;
    const char* defaultValue;
};

/// The table of the 17 lines, in line order (entry i is line i + 1), shared by every reader and
/// writer.
const std::array<SettingsLineInfo, SettingsLine::Count>& SettingsTable();
/// The entry of `line` (1 to 17).
const SettingsLineInfo& SettingsLineInfoFor(int line);

/// The 17 lines of the settings file as stored (the raw text of each line), with the conversions
/// between stored lines and values. A line the file did not have is empty text. Lines are
/// numbered 1 to 17; a number outside that range reads as empty and is not stored. The file is
/// read as UTF-8: the stored lines are Base64 and decimal digits, and only bytes that are not
/// UTF-8 at all (a line damaged by hand) would not go back byte for byte.
class SettingsLines
{
public:
    SettingsLines() = default;
    /// Lines as stored, line 1 first; lines after the 17th are dropped.
    explicit SettingsLines(const QStringList& rawLines);

    /// How many lines were read from the file (at most 17), or 11 for the default lines.
    int lineCount() const { return m_count; }

    QString raw(int line) const;
    void setRaw(int line, const QString& text);

    /// The value of a line: decoded for enc lines, the raw text for plain lines.
    QString value(int line) const;
    /// The value as an Integer: the decimal number of the text (a fraction is rounded to the
    /// nearest, halves away from zero); 0 when it is not a number or does not fit an Integer.
    int number(int line) const;
    /// Whether an on/off line holds the first word of its pair; false for the other lines.
    bool isOn(int line) const;

    /// Stores `text`: through EncodeSetting on enc lines, as it is on plain lines.
    void setValue(int line, const QString& text);
    /// Stores the decimal text of `number` (through EncodeSetting on enc lines).
    void setNumber(int line, int number);
    /// Stores the first word of the line's pair when `on`, else the second (on/off lines only).
    void setOn(int line, bool on);
    /// Stores a window's frame in lines 13 (Top), 14 (Left), 16 (Width) and 17 (Height).
    void setFrame(int top, int left, int width, int height);

    /// The raw text of the first `count` lines.
    QStringList lines(int count = SettingsLine::Count) const;

private:
    std::array<QString, SettingsLine::Count> m_lines;
    int m_count = 0;
};

/// What a read pass found.
enum class SettingsFileStatus
{
    Missing,    ///< no settings file: nothing was read
    Read,       ///< the file was read
    Unreadable, ///< the file exists but could not be read: every line reads as empty
};

/// The read pass: reads lines 1 to 17 of the settings file (lines after the 17th are ignored).
/// A missing file gives no lines; a file that cannot be read gives empty lines, its status
/// Unreadable and the reason in `error` (naming the file, for the log) and in `cause` (the
/// reason alone, for a status line). Never fails in any other way. Only a regular file, or a
/// link to one, is read: anything else there (a named pipe, a device, a folder) is Unreadable
/// and is never opened.
SettingsLines ReadSettingsFile(SettingsFileStatus* status = nullptr, QString* error = nullptr,
                               QString* cause = nullptr);

/// The 11 lines of the default file a first launch writes.
SettingsLines DefaultSettingsLines();

/// The write pass: replaces the settings file with all 17 lines of `lines`, atomically, then sets
/// its name to "Starwick Preferences", its creator to "Qwlk" and its type to "pref" (where the
/// file system takes them). Lines never changed go back exactly as they were read. It writes
/// whether or not the file exists: callers follow the rule below through the two functions
/// after it. On failure the previous file is left whole and `error` and `cause` say why (as for
/// ReadSettingsFile).
///
/// The file is written 0600 and its folder narrowed to its owner (0700) at every write, since it
/// holds the proxy password. Through a link to a regular file, that file is replaced and the
/// link kept; anything else in the file's place is never written over.
///
/// The rule: only the first launch writes a settings file that does not exist (the default file,
/// WriteDefaultSettingsFile); every other writer rewrites an existing file only
/// (UpdateSettingsFile).
bool WriteSettingsFile(const SettingsLines& lines, QString* error = nullptr, QString* cause = nullptr);

/// Removes the temporary files that settings writes killed before their last step (moving the
/// new file into place) left beside the settings file; never the settings file itself. Launch
/// runs it before it reads the file.
void RemoveSettingsLeftovers();

/// The first launch: writes the 11-line default file when no settings file exists. False, with
/// `error` set, when the file exists already (nothing is written) or the write failed.
bool WriteDefaultSettingsFile(QString* error = nullptr, QString* cause = nullptr);

enum class SettingsUpdate
{
    Written, ///< the file was read, changed and written back
    NoFile,  ///< there is no settings file, so nothing was written
    Failed,  ///< the file could not be read or written; it is left as it was
};

/// Every writer other than the first launch: reads the existing file, lets `change` set the lines
/// it writes, and writes all 17 lines back. Nothing is written when the file is missing, nor when
/// it cannot be read (writing would put empty lines in place of settings that were only out of
/// reach, or a named pipe or device that must not be opened).
SettingsUpdate UpdateSettingsFile(const std::function<void(SettingsLines&)>& change, QString* error = nullptr,
                                  QString* cause = nullptr);

} // namespace Starwick
