#pragma once

// Reading a page's head for its keywords meta tag and its done marker, before a batch run
// analyses the page.

#include "batch/file_system.h"
#include "batch/page_file.h"

#include <cstdint>
#include <string>

namespace tagwright {

struct OldTagAndDoneDate {
    std::string oldTag;        // the existing keywords meta tag as found, or a message
    bool doneRecently = false;
    std::string doneDate;      // the 10 characters read from a marker
};

// Reads a page's head for its keywords meta tag and done marker. A page counts as done
// recently when its marker is dated fewer than lessThanDays days before todayJdn (or later).
OldTagAndDoneDate readOldTagAndDoneDate(const PageFile& file, std::int32_t todayJdn,
                                        int lessThanDays, FileSystem& fs);
OldTagAndDoneDate readOldTagAndDoneDate(const std::string& path, std::int32_t todayJdn, int lessThanDays,
                                        FileSystem& fs);
OldTagAndDoneDate readOldTagAndDoneDate(const std::string& path, std::int32_t todayJdn, int lessThanDays);

} // namespace tagwright
