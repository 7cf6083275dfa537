#pragma once

// The done marker: a meta tag named "QOVA done" whose content is the date on which a batch run
// handled the page, so that later runs can skip pages done recently.

#include "batch/file_system.h"

#include <string>
#include <string_view>

namespace tagwright {

// <meta name="QOVA done" content="2024-03-05">
std::string doneMetaTagLine(std::string_view date);

// Rewrites the page so that its head holds one fresh marker in place of any old ones; keywords
// meta tags stay. No backup. False, with the page left as it was, when it cannot be rewritten
// or has no "</head>".
bool insertDoneMetaTagOnly(const std::string& path, std::string_view doneDate, FileSystem& fs);
bool insertDoneMetaTagOnly(const std::string& path, std::string_view doneDate);

} // namespace tagwright
