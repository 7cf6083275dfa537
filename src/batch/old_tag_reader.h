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
    int keywordsTags = 0;      // how many the head holds
    bool doneRecently = false;
    std::string doneDate;      // the 10 characters read from a marker
    std::string fingerprint;   // of the text as it was tagged; empty when no marker carries one
};

// Reads a page's head for its keywords meta tag and done marker. A page counts as done
// recently when its marker is dated fewer than lessThanDays days before todayJdn (or later).
OldTagAndDoneDate readOldTagAndDoneDate(const PageFile& file, std::int32_t todayJdn,
                                        int lessThanDays, FileSystem& fs);
OldTagAndDoneDate readOldTagAndDoneDate(const std::string& path, std::int32_t todayJdn, int lessThanDays,
                                        FileSystem& fs);
OldTagAndDoneDate readOldTagAndDoneDate(const std::string& path, std::int32_t todayJdn, int lessThanDays);

} // namespace tagwright
