#include "cli/analysis_options.h"
#include "cli/each_file.h"
#include "cli/file_analysis.h"
#include "cli/json_output.h"
#include "output/word_list_report.h"

#include <memory>

namespace tagwright::cli {

namespace {

class ListCommand : public EachFileCommand
{
  public:
    std::string_view name() const override { return "list"; }
    std::string_view operands() const override { return "FILE..."; }
    std::string_view summary() const override
    {
        return "Print the ranked word list: rank, key value, frequency, density and word";
    }
    std::vector<OptionGroup> optionGroups() const override
    {
        return {analysisOptionGroup(), outputOptionGroup()};
    }

  private:
    int runOne(const ParsedOptions& options, const Console& console) const override
    {
        const bool json = jsonFormatFrom(options);
        const auto analysis = analyseFile(options, console, StandardInput::Read);
        if (!analysis)
            return kExitFailure;
        const std::string list = showWordList(analysis->table, analysis->settings);
        if (json)
            printJsonLine(console, wordListJson(list));
        else
            console.printBoxText(list);
        return kExitSuccess;
    }
};

} // namespace

std::unique_ptr<Command> makeListCommand()
{
    return std::make_unique<ListCommand>();
}

} // namespace tagwright::cli
