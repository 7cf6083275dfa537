#include "cli/each_file.h"

#include "cli/command.h"
#include "cli/json_output.h"
#include "support/quoted_name.h"

namespace tagwright::cli {

int runForEachFile(const ParsedOptions& options, const Console& console, FileHeadings headings,
                   const std::function<int(const ParsedOptions&)>& runOne)
{
    if (options.operands().size() <= 1)
        return runOne(options);
    const bool json = jsonFormatFrom(options);
    int status = kExitSuccess;
    bool first = true;
    for (const std::string& operand : options.operands()) {
        if (headings == FileHeadings::Shown && json)
            printJsonLine(console, {{"type", "file"}, {"file", fileNameJson(operand)}});
        else if (headings == FileHeadings::Shown)
            console.printBytes((first ? "==> " : "\n==> ") + shellQuotedName(operand) + " <==\n");
        first = false;
        if (runOne(options.withSoleOperand(operand)) != kExitSuccess)
            status = kExitFailure;
    }
    return status;
}

int EachFileCommand::run(const ParsedOptions& options, const Console& console) const
{
    return runForEachFile(options, console, FileHeadings::Shown,
                          [&](const ParsedOptions& one) { return runOne(one, console); });
}

} // namespace tagwright::cli
