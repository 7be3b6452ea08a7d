#include "platform/folderitem.h"

namespace Starwick::platform {

FolderItem::FolderItem(QString path)
    : m_path(std::move(path))
{}

} // namespace Starwick::platform
