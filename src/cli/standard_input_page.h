#pragma once

// A page read from standard input ('-'), kept in a temporary file for as long as the analysis,
// which reads a page by its name, needs it. A termination signal removes the file as it removes
// the temporary files of a rewrite.

#include "batch/temporary_files.h"
#include "support/folder.h"

#include <optional>
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
    Folder folder_;
    std::string name_;
    std::string path_;
    std::optional<TemporaryFileGuard> guard_;
};

} // namespace tagwright::cli
