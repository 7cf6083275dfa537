#pragma once

// A command that acts on one FILE, given several: it runs once for each, in the order given.

#include "cli/command.h"
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

// A command that runs alike on each FILE, each result headed by its file.
class EachFileCommand : public Command
{
  public:
    int run(const ParsedOptions& options, const Console& console) const final;

  protected:
    // Runs on one FILE: the options hold that operand alone.
    virtual int runOne(const ParsedOptions& options, const Console& console) const = 0;
};

} // namespace tagwright::cli
