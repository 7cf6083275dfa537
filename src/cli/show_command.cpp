#include "cli/each_file.h"
#include "cli/file_analysis.h"
#include "cli/json_output.h"
#include "output/existing_tags.h"
#include "support/files.h"

#include <memory>

namespace tagwright::cli {

namespace {

class ShowCommand : public EachFileCommand
{
  public:
    std::string_view name() const override { return "show"; }
    std::string_view operands() const override { return "FILE..."; }
    std::string_view summary() const override
    {
        return "Print the title, keywords, description and done marker that the page carries";
    }
    std::vector<OptionGroup> optionGroups() const override { return {outputOptionGroup()}; }

  private:
    int runOne(const ParsedOptions& options, const Console& console) const override
    {
        // The operand as given: the reader trims the blanks an input box may carry.
        const std::string path = fileOperand(options);
        const bool json = jsonFormatFrom(options);
        if (!path.empty() && !fileExists(path)) {
            console.printFileMessage(path, "Input file not found.");
            return kExitFailure;
        }
        const ExistingTags tags = existingTagsOfFile(path);
        if (tags.refusal) {
            console.printFileMessage(path, tags.refusal->text);
            return kExitFailure;
        }
        if (json)
            printJsonLine(console, existingTagsJson(tags.text));
        else
            console.printBoxText(tags.text);
        return kExitSuccess;
    }
};

} // namespace

std::unique_ptr<Command> makeShowCommand()
{
    return std::make_unique<ShowCommand>();
}

} // namespace tagwright::cli
