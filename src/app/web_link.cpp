#include "app/web_link.h"

#include "app/dialogs.h"

#include <QDesktopServices>
#include <QStandardPaths>
#include <QUrl>

namespace tagwright {

namespace {

constexpr int kOpened = 33;
constexpr int kNotFound = 2;
constexpr int kOutOfMemory = 8;
constexpr int kNoAssociation = 31;

// The text after the last dot of the address, in lower case: for a web address that is what
// follows its last dot, wherever it stands ("com" of https://www.example.com).
QString addressExtension(const QString& address)
{
    const qsizetype dot = address.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : address.mid(dot + 1).toLower();
}

} // namespace

int openWithDesktop(const QString& address)
{
    if (QDesktopServices::openUrl(QUrl(address)))
        return kOpened;
    // Qt hands addresses to xdg-open; without it no application is known for any address.
    return QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty() ? kNoAssociation
                                                                                : kNotFound;
}

QString webLinkFailureText(const QString& address, int code)
{
    QString text = QStringLiteral("Error launching web browser, error code = %1.").arg(code);
    switch (code) {
    case kNoAssociation:
        text += QStringLiteral("\r\n\r\nFile extension '") + addressExtension(address) +
                QStringLiteral("' is not associated with any application program.");
        break;
    case kOutOfMemory:
        text += QStringLiteral("\r\n\r\nOut of memory.");
        break;
    case kNotFound:
        text += QStringLiteral("\r\n\r\nPlease try once more.");
        break;
    default:
        break;
    }
    return text;
}

void openWebLink(const QString& address, const AddressOpener& opener, Dialogs& dialogs)
{
    const int code = opener(address);
    if (code > 32)
        return;
    dialogs.showMessage(QStringLiteral("Cannot launch web browser"),
                        webLinkFailureText(address, code), MessageIcon::Warning);
}

} // namespace tagwright
