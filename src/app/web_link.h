#pragma once

#include <QString>

#include <functional>

namespace tagwright {

class Dialogs;

// Asks the platform to open an address and answers a result code: above 32 means success;
// 31 means no application handles such addresses, 2 any other failure.
using AddressOpener = std::function<int(const QString& address)>;

// The opener of the desktop: the user's default web browser through QDesktopServices.
int openWithDesktop(const QString& address);

// Opens the address in the user's web browser; a failure is explained in one message box.
void openWebLink(const QString& address, const AddressOpener& opener, Dialogs& dialogs);

// The message for a failure code, CR LF between its paragraphs.
QString webLinkFailureText(const QString& address, int code);

} // namespace tagwright
