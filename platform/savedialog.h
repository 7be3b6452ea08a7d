#pragma once

#include "platform/folderitem.h"

#include <optional>

namespace Starwick::platform {

/// The save-file dialog: asks where to save, suggesting `suggestedName` in the user's last (or
/// Pictures) folder. Returns the chosen file, or a null item when the user cancels. `filter` is a
/// file-type filter in the dialog's syntax; empty means any file.
FolderItem GetSaveFolderItem(const QString& filter, const QString& suggestedName);

/// Answers the next GetSaveFolderItem() in advance without showing a dialog (a null item answers
/// as a cancel); the suggested name asked for is kept for the test to read.
void setNextSaveAnswerForTesting(const FolderItem& answer);
QString lastSuggestedSaveNameForTesting();

} // namespace Starwick::platform
