#include "cli/analysis_options.h"
#include "cli/each_file.h"
#include "cli/file_analysis.h"
#include "cli/json_output.h"
#include "cli/tag_options.h"
#include "output/meta_tag.h"

#include <memory>

namespace tagwright::cli {

namespace {

class GenerateCommand : public EachFileCommand
{
  public:
    std::string_view name() const override { return "generate"; }
    std::string_view operands() const override { return "FILE..."; }
    std::string_view summary() const override
    {
        return "Print the keywords meta tag and the number of its keywords and bytes";
    }
    std::vector<OptionGroup> optionGroups() const override
    {
        return {analysisOptionGroup(), tagOptionGroup(), outputOptionGroup()};
    }

  private:
    int runOne(const ParsedOptions& options, const Console& console) const override
    {
        // Read before the analysis, so that a bad tag option fails fast.
        const TagSettings tag = tagSettingsFrom(options);
        const bool json = jsonFormatFrom(options);
        const auto analysis = analyseFile(options, console, StandardInput::Read);
        if (!analysis)
            return kExitFailure;
        const std::string box = generateKeywordMetaTag(analysis->table, tag, analysis->settings);
        if (json)
            printJsonLine(console, metaTagJson(box));
        else
            console.printBoxText(box);
        return kExitSuccess;
    }
};

} // namespace

std::unique_ptr<Command> makeGenerateCommand()
{
    return std::make_unique<GenerateCommand>();
}

} // namespace tagwright::cli
