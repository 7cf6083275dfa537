#include "support/data_dir.h"

#include "support/files.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tagwright {
namespace {

namespace fs = std::filesystem;

bool holdsProgramTexts(const std::string& folder)
{
    return fileExists(folder + "/qova.dat");
}

// Linux names the running program's file, links resolved, in /proc.
std::string runningProgramPath()
{
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.string();
}

bool isInside(const fs::path& path, const fs::path& folder)
{
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(folder, error);
    if (error || resolved.empty())
        return false;
    const fs::path relative = path.lexically_relative(resolved);
    return !relative.empty() && *relative.begin() != "..";
}

} // namespace

std::string dataFolderFor(const DataFolderPlaces& places)
{
    if (places.program.empty())
        return places.configured;
    const fs::path program(places.program);
    const std::string besideProgram =
        (program.parent_path().parent_path() / "share" / "tagwright").string();
    if (holdsProgramTexts(besideProgram))
        return besideProgram;
    if (isInside(program, places.buildFolder))
        return places.sourceData;
    if (holdsProgramTexts(places.configured))
        return places.configured;
    return besideProgram;
}

std::string programDataFolder()
{
    const char* chosen = std::getenv("TAGWRIGHT_DATA_DIR");
    if (chosen != nullptr && *chosen != '\0')
        return chosen;
    return dataFolderFor({runningProgramPath(), TAGWRIGHT_INSTALL_DATA_DIR, TAGWRIGHT_BUILD_DIR,
                          TAGWRIGHT_SOURCE_DATA_DIR});
}

} // namespace tagwright
