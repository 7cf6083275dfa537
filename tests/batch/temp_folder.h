#pragma once

// What the batch tests add to the shared temporary folder: whole-file bytes for comparing pages,
// the names a folder holds, and whether permissions can be tested at all.

#include "../support/temp_folder.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace tagwright::testing {

using test::TempFolder;

inline std::string readBytes(const std::filesystem::path& path)
{
    return test::readBytes(path.string());
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The names in a folder, hidden ones included.
inline std::set<std::string> namesIn(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Root passes every permission check, so tests of unreadable or read-only folders cannot run.
inline bool runningAsRoot()
{
    return ::geteuid() == 0;
}

} // namespace tagwright::testing
