#include "platform/savedialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

namespace Starwick::platform {

namespace {
std::optional<FolderItem> g_nextAnswer;
QString g_lastSuggested;
QString g_lastFolder;

// What most Linux file systems take as one file name.
constexpr qsizetype kMaxNameBytes = 255;

// The UTF-8 length of one code point.
qsizetype utf8Bytes(char32_t c)
{
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

// `text` cut, at a code point, to at most `bytes` bytes of UTF-8.
QString cutToBytes(const QString& text, qsizetype bytes)
{
    qsizetype used = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const bool pair = text.at(end).isHighSurrogate() && end + 1 < text.size() && text.at(end + 1).isLowSurrogate();
        const char32_t c = pair ? QChar::surrogateToUcs4(text.at(end), text.at(end + 1)) : text.at(end).unicode();
        used += utf8Bytes(c);
        if (used > bytes)
            break;
        end += pair ? 2 : 1;
    }
    return text.left(end);
}

} // namespace

QString SuggestedSaveName(const QString& saveName, const QString& pictureFileName)
{
    const qsizetype dot = saveName.lastIndexOf(u'.');
    QString title = dot < 0 ? saveName : saveName.left(dot);
    QString ext = dot < 0 ? QString() : saveName.mid(dot);
    if (title.trimmed().isEmpty()) {
        // A bare ".jpg" would be a hidden file: the picture's own name serves instead.
        const qsizetype ownDot = pictureFileName.lastIndexOf(u'.');
        title = ownDot <= 0 ? pictureFileName : pictureFileName.left(ownDot);
        ext = ownDot <= 0 ? QString() : pictureFileName.mid(ownDot);
    }
    const qsizetype extBytes = ext.toUtf8().size();
    if (extBytes >= kMaxNameBytes)
        return cutToBytes(title + ext, kMaxNameBytes);
    return cutToBytes(title, kMaxNameBytes - extBytes) + ext;
}

QString SaveDialogStartFolder()
{
    if (!g_lastFolder.isEmpty())
        return g_lastFolder;
    const FolderItem pictures = FolderItem::PicturesFolder();
    if (!pictures.isNull() && pictures.Directory())
        return pictures.path();
    return QDir::homePath();
}

FolderItem GetSaveFolderItem(const QString& filter, const QString& suggestedName)
{
    g_lastSuggested = suggestedName;
    if (g_nextAnswer) {
        const FolderItem answer = *g_nextAnswer;
        g_nextAnswer.reset();
        return answer;
    }
    const QString start = QDir(SaveDialogStartFolder()).filePath(suggestedName);
    const QString chosen = QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(), start, filter);
    if (chosen.isEmpty())
        return FolderItem();
    g_lastFolder = QFileInfo(chosen).absolutePath();
    return FolderItem(chosen);
}

void setNextSaveAnswerForTesting(const FolderItem& answer)
{
    g_nextAnswer = answer;
}

QString lastSuggestedSaveNameForTesting()
{
    return g_lastSuggested;
}

bool hasNextSaveAnswerForTesting()
{
    return g_nextAnswer.has_value();
}

} // namespace Starwick::platform
