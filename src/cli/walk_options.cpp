#include "cli/walk_options.h"

#include "batch/folder_run.h"
#include "cli/usage_error.h"
#include "support/files.h"

#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <sstream>

namespace tagwright::cli {

namespace {

struct ExtensionOption
{
    std::string_view name;
    bool BatchSettings::*ticked;
};

constexpr std::array<ExtensionOption, 4> kExtensions{{{"htm", &BatchSettings::htm},
                                                      {"html", &BatchSettings::html},
                                                      {"shtm", &BatchSettings::shtm},
                                                      {"shtml", &BatchSettings::shtml}}};

// --ext htm,html,shtm,shtml: the extensions acted on, replacing the default htm and html.
void readExtensions(const std::string& list, BatchSettings& settings)
{
    for (const ExtensionOption& extension : kExtensions)
        settings.*extension.ticked = false;
    std::istringstream items(list);
    std::string item;
    bool any = false;
    while (std::getline(items, item, ',')) {
        bool known = false;
        for (const ExtensionOption& extension : kExtensions)
            if (item == extension.name)
                known = any = settings.*extension.ticked = true;
        if (!known)
            throw UsageError("--ext: '" + item + "' is none of htm, html, shtm, shtml");
    }
    if (!any)
        throw UsageError("--ext: no extension given");
}

} // namespace

OptionGroup walkingOptionGroup(const std::string& title)
{
    return {title,
            {{"recursive", "", "include all subfolders"},
             {"ext", "LIST", "extensions acted on, from htm,html,shtm,shtml (default htm,html)"}}};
}

void readWalkingOptions(const ParsedOptions& options, BatchSettings& settings)
{
    settings.includeAllSubfolders = options.has("recursive");
    if (const auto list = options.value("ext"))
        readExtensions(*list, settings);
}

std::string folderOperand(const ParsedOptions& options)
{
    return options.soleOperand("FOLDER", "No input folder specified.");
}

bool folderExists(const std::string& path)
{
    struct stat status
    {
    };
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool isFolderOrSaysWhy(const std::string& path, const Console& console)
{
    if (folderExists(path))
        return true;
    struct stat status
    {
    };
    console.printFileMessage(path, ::stat(path.c_str(), &status) == 0 ? "Not a folder"
                                                                      : "Folder does not exist");
    return false;
}

PageScope pageScopeOf(const std::string& folder, const BatchSettings& settings)
{
    return {folder, settings.includeAllSubfolders, tickedExtensions(settings)};
}

std::string whyNotAPage(const std::string& path, const PageScope& scope)
{
    const std::string name = std::filesystem::path(path).filename().string();
    if (scope.takesPage(name))
        return {};
    if (scope.extensions.contains(fileExtension(name, true)))
        return "Not checked: a backup (NAME.bak.EXT) is no page of a run.";
    std::string list;
    for (const std::string& extension : scope.extensions)
        list.append(list.empty() ? "" : ", ").append(extension);
    return "Not checked: a batch run takes only pages ending in " + list + " (--ext).";
}

} // namespace tagwright::cli
