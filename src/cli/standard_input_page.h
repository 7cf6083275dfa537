#pragma once

// A page read from standard input ('-'), kept in a temporary file for as long as the analysis,
// which reads a page by its name, needs it.

#include <string>

namespace tagwright::cli {

class StandardInputPage
{
  public:
    // Copies standard input to a new file in $TMPDIR (or /tmp); throws CommandFailure when it
    // cannot be read or written.
    StandardInputPage();
    StandardInputPage(const StandardInputPage&) = delete;
    StandardInputPage& operator=(const StandardInputPage&) = delete;
    ~StandardInputPage();

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

} // namespace tagwright::cli
