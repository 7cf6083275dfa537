#pragma once

// A fresh folder under the system's temporary folder for one fuzz run, removed with everything
// in it when the run ends, so that runs never see each other's files.

#include <filesystem>
#include <string>
#include <string_view>

namespace tagwright::fuzz {

class ScratchFolder {
public:
    ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    const std::filesystem::path& path() const { return path_; }
    // A file of the folder holding exactly these bytes; its path.
    std::string write(const std::string& name, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

std::string readWholeFile(const std::filesystem::path& path);

} // namespace tagwright::fuzz
