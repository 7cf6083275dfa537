#include "cli/program_texts.h"

#include "support/data_dir.h"

namespace tagwright::cli {

std::optional<ProgramTextStore> loadProgramTexts(const ParsedOptions& options,
                                                 const Console& console)
{
    const std::string dataFolder = options.value("data-dir").value_or(programDataFolder());
    ProgramTextStore texts;
    const std::string textFile = programTextFilePath(dataFolder);
    if (const std::int32_t loaded = texts.load(textFile); loaded < 1) {
        console.printMessage(loadFailureMessage(loaded, textFile));
        return std::nullopt;
    }
    return texts;
}

} // namespace tagwright::cli
