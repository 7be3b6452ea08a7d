#include "browser/cachepurge.h"

#include "platform/eventloop.h"
#include "platform/folderitem.h"
#include "shell/settings.h"

#include <vector>

namespace Starwick {

void PurgeCache()
{
    const platform::FolderItem folder = CacheFolder();
    if (!folder.Exists() || !folder.Directory())
        return;
    // The entries are taken once and visited from the last to the first, so the loop's view of the
    // folder does not shift under it while entries go (or while a download lands during a yield).
    const int n = folder.Count();
    std::vector<platform::FolderItem> entries;
    entries.reserve(n);
    for (int i = 1; i <= n; ++i)
        entries.push_back(folder.Item(i));
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        if (!entry->Name().startsWith(QLatin1Char('.')))
            entry->Delete();
        platform::YieldToEventLoop();
    }
}

} // namespace Starwick
