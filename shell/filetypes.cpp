#include "shell/filetypes.h"

namespace Starwick::FileTypes {

void Initialize()
{
    pText = {QStringLiteral("text"), {}, QStringLiteral("TEXT"), QStringLiteral("R*ch")};
    pGKON = {QStringLiteral("GKON"), {}, QString(), QStringLiteral("GKON")};
    pMeSa = {QStringLiteral("MeSa"), {}, QString(), QStringLiteral("MeSa")};
    pType8BIM = {QStringLiteral("8BIM"), {}, QString(), QStringLiteral("8BIM")};
    pPrvw = {QStringLiteral("prvw"), {}, QString(), QStringLiteral("prvw")};
}

} // namespace Starwick::FileTypes
