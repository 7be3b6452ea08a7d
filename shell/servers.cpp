#include "shell/servers.h"

namespace Starwick {

namespace {
QString g_apodServer;
QString g_makerServer;
} // namespace

QString APODServer()
{
    return g_apodServer.isEmpty() ? QStringLiteral(STARWICK_APOD_SERVER) : g_apodServer;
}

QString MakerServer()
{
    return g_makerServer.isEmpty() ? QStringLiteral(STARWICK_MAKER_SERVER) : g_makerServer;
}

QString AppVersion()
{
    return QStringLiteral(STARWICK_VERSION);
}

QString MakerContactAddress()
{
    return QStringLiteral("vessik@quorreldesign.com");
}

QString KagiOrderHost()
{
    return QStringLiteral(STARWICK_KAGI_HOST);
}

QString KagiProductCode()
{
    return QStringLiteral(STARWICK_KAGI_PRODUCT);
}

QString PayPalHost()
{
    return QStringLiteral(STARWICK_PAYPAL_HOST);
}

QString PayPalRecipient()
{
    return QStringLiteral(STARWICK_PAYPAL_RECIPIENT);
}

void setAPODServerForTesting(const QString& server)
{
    g_apodServer = server;
}

void setMakerServerForTesting(const QString& server)
{
    g_makerServer = server;
}

} // namespace Starwick
