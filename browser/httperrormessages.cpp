#include "browser/httperrormessages.h"

#include <array>

namespace Starwick {

namespace {

struct ErrorText
{
    int code;
    const char* text;
};

constexpr char kDenied[] = "Your request was denied as you don't have permission to access the data, or the server "
                           "was unable to serve the data that was requested.";

// Tried in this order; the first row whose code matches gives the text.
constexpr std::array<ErrorText, 8> kErrorTexts{{
    {103, "The address specified in your proxy settings could not be resolved. Check your settings and try again."},
    {401, kDenied},
    {402, "The data is not accessible at the time because the owner of the space has not yet payed their service "
          "provider."},
    {403, kDenied},
    {404, "The document that you're requesting no longer exists on this server, or is just temporarily unavailable. "
          "Please try again later."},
    {407, "The browser has not been authenticated on the required proxy server. This error is most commonly returned "
          "by content filters/parental controls."},
    {408, "The server has timed-out due to communications between the client and server taking too long. Please try "
          "again later."},
    {409, "Too many requests for the same file at one time, or this could be caused by a DNS issue."},
}};

constexpr char kOtherError[] = "Check your internet settings and try again.";

} // namespace

QString HTTPErrorMessages(int code)
{
    for (const ErrorText& row : kErrorTexts) {
        if (row.code == code)
            return QString::fromLatin1(row.text);
    }
    return QString::fromLatin1(kOtherError);
}

QString HTTPErrorHeading(int code)
{
    return QStringLiteral("The web server returned error %1!").arg(code);
}

} // namespace Starwick
