#include "platform/savedialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

namespace Starwick::platform {

namespace {
std::optional<FolderItem> g_nextAnswer;
QString g_lastSuggested;
QString g_lastFolder;
} // namespace

FolderItem GetSaveFolderItem(const QString& filter, const QString& suggestedName)
{
    g_lastSuggested = suggestedName;
    if (g_nextAnswer) {
        const FolderItem answer = *g_nextAnswer;
        g_nextAnswer.reset();
        return answer;
    }
    if (g_lastFolder.isEmpty())
        g_lastFolder = FolderItem::PicturesFolder().path();
    const QString start = QDir(g_lastFolder).filePath(suggestedName);
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

} // namespace Starwick::platform
