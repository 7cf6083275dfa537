#pragma once

// A fresh folder under the system's temporary folder, removed with everything in it at the end.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace tagwright::test {

class TempFolder
{
  public:
    TempFolder()
    {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("tagwright-test-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }

    // The path of a name inside the folder, with "/" as separator.
    std::string path(std::string_view name = {}) const
    {
        return name.empty() ? path_.string() : (path_ / name).string();
    }

    // Writes bytes exactly as given and returns the file's path.
    std::string write(std::string_view name, std::string_view bytes) const
    {
        const std::string file = path(name);
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

  private:
    std::filesystem::path path_;
};

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace tagwright::test
