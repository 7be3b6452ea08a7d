#pragma once

#include <QString>
#include <QStringList>

namespace Starwick {

/// A file type the program declares: a name, its extensions and its Mac type and creator codes.
struct FileType
{
    QString Name;
    QStringList Extensions;
    QString MacType;
    QString MacCreator;
};

/// The program's file-type set, built once at start-up and not consulted afterwards.
namespace FileTypes {
inline FileType pText;
inline FileType pGKON;
inline FileType pMeSa;
inline FileType pType8BIM;
inline FileType pPrvw;

/// Builds the five records.
void Initialize();
} // namespace FileTypes

} // namespace Starwick
