#include "platform/base64.h"

namespace Starwick::platform {

QString Base64Encode(const QByteArray& data)
{
    return QString::fromLatin1(data.toBase64());
}

QByteArray Base64Decode(const QString& text, bool* ok)
{
    auto fail = [ok] {
        if (ok)
            *ok = false;
        return QByteArray();
    };
    // Base64 is ASCII; anything else cannot be part of it (and must not be narrowed into it).
    for (const QChar c : text) {
        if (c.unicode() > 0x7f)
            return fail();
    }
    const QByteArray ascii = text.toLatin1();
    // Qt's strict mode rejects foreign characters and bad padding, but takes a final group
    // without its "=" characters; the stored format always writes them, so a short group means
    // the text was cut.
    if (ascii.size() % 4 != 0)
        return fail();
    auto decoded = QByteArray::fromBase64Encoding(ascii, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return fail();
    if (ok)
        *ok = true;
    return decoded.decoded;
}

} // namespace Starwick::platform
