#pragma once

// A command that acts on one FILE, given several: it runs once for each, in the order given.

#include "cli/console.h"
#include "cli/option_parser.h"

#include <functional>

namespace tagwright::cli {

enum class FileHeadings {
    Shown, // each result headed by its file, as head(1) heads the files it prints
    None,  // the results name their pages themselves (check)
};

// runOne gets the options with one operand. With several, a heading goes before each file's
// result: "==> FILE <==" after a blank line (none before the first), or in --format json a
// {"type": "file", "file": NAME} record. The exit status is 1 when any file failed.
int runForEachFile(const ParsedOptions& options, const Console& console, FileHeadings headings,
                   const std::function<int(const ParsedOptions&)>& runOne);

} // namespace tagwright::cli
