#pragma once

#include "platform/folderitem.h"

#include <optional>

namespace Starwick::platform {

/// The save-file dialog: asks where to save, suggesting `suggestedName` in SaveDialogStartFolder(). Returns the chosen
/// file, or a null item when the user cancels. `filter` is a file-type filter in the dialog's syntax; empty means any
/// file.
FolderItem GetSaveFolderItem(const QString& filter, const QString& suggestedName);

/// The name to suggest for saving a picture offered as `saveName` (a title, ".", an extension)
/// whose own file is named `pictureFileName`: the picture's own name when the title is empty, and
/// a title too long for a file name (255 bytes in UTF-8) cut at a character to fit beside its
/// extension.
QString SuggestedSaveName(const QString& saveName, const QString& pictureFileName);

/// The folder the save dialog opens in: the last one chosen during this run, else the Pictures
/// folder when it exists, else the home folder.
QString SaveDialogStartFolder();

/// Answers the next GetSaveFolderItem() in advance without showing a dialog (a null item answers
/// as a cancel); the suggested name asked for is kept for the test to read.
void setNextSaveAnswerForTesting(const FolderItem& answer);
QString lastSuggestedSaveNameForTesting();
bool hasNextSaveAnswerForTesting();

} // namespace Starwick::platform
