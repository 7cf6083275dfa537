#pragma once

// The done marker: a meta tag named "QOVA done" whose content is the date on which a batch run
// handled the page, so that later runs can skip pages done recently. Its data-fingerprint
// attribute, which readers of the date alone pass over, holds the fingerprint of the page's text
// as it was tagged (text_fingerprint.h); markers of older runs have none.

#include "batch/file_system.h"
#include "batch/head_rewrite.h"
#include "batch/insertion.h"

#include <string>
#include <string_view>

namespace tagwright {

// <meta name="QOVA done" content="2024-03-05" data-fingerprint="0123456789abcdef">, without the
// attribute when the fingerprint is empty.
std::string doneMetaTagLine(std::string_view date, std::string_view fingerprint);

// The fingerprint that a marker carries, from the lower-cased text of the marker alone; empty
// when it has none.
std::string markerFingerprint(std::string_view lowerMarker);

// headRewriteOf with the keywords tags replaced and a fresh marker of that date after the lines
// edit's block writes. Its fingerprint is that of the text written around the block (which holds
// no keywords tag nor marker but the block's), hashed as it is written and filled in once the page
// is written: the page is read once. Reader and edit must outlive the producer.
ContentProducer markedHeadRewriteOf(LineReader& reader, const HeadEdit& edit,
                                    std::string_view doneDate);

// Rewrites the page so that its head holds one fresh marker, with the page's fingerprint, in place
// of any old ones; keywords meta tags stay. No backup. kInserted, or the refusal (kInsertFileNotFound, kInsertNoExtension,
// kInsertHeadEndMissing) or failure (kInsertFailed, with the system's reason), the page left as
// it was.
InsertOutcome insertDoneMetaTagOnly(const std::string& path, std::string_view doneDate,
                                    FileSystem& fs);
// The same for a page as a batch run reached it (path as the user knows it).
InsertOutcome insertDoneMetaTagOnly(const PageFile& file, const std::string& path,
                                    std::string_view doneDate, FileSystem& fs);
InsertOutcome insertDoneMetaTagOnly(const std::string& path, std::string_view doneDate);

} // namespace tagwright
