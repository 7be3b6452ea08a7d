#pragma once

#include <QString>

namespace Starwick {

/// The APOD server: a host with an optional path prefix ("www.star.ucl.ac.uk/~apod"), under which
/// the pages stand at "/apod/archivepix.html", "/apod/" + link and "/apod/image/" + path.
QString APODServer();
/// The maker's server, a host with an optional path prefix.
QString MakerServer();
/// The program's version, "1.2.0".
QString AppVersion();
/// The maker's contact address for the e-mail link.
QString MakerContactAddress();

/// The donation pages: the order host of the Kagi store and the program's product code there;
/// the PayPal payment host and the recipient's e-mail address.
QString KagiOrderHost();
QString KagiProductCode();
QString PayPalHost();
QString PayPalRecipient();

/// Points the program at another APOD server for the rest of the run (tests use a local one).
void setAPODServerForTesting(const QString& server);
/// The same for the maker's server; an empty text goes back to the build's own.
void setMakerServerForTesting(const QString& server);

} // namespace Starwick
