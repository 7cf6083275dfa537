#pragma once

// The regular files of a tree with their bytes, by their paths relative to its root.

#include "../support/temp_folder.h"

#include <filesystem>
#include <map>
#include <string>

namespace tagwright::test {

inline std::map<std::string, std::string> treeContents(const std::string& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[std::filesystem::relative(entry.path(), root).string()] =
                readBytes(entry.path().string());
    return files;
}

} // namespace tagwright::test
