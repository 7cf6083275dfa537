#pragma once

// The first pass of a run that leaves out site words: the pages the run would tag (the same
// walk, extensions, names and links, and pages done recently passed over when the run skips
// them) are analysed, nothing written, and the tag each would get is tallied. Only the tally
// stays from one page to the next; with more than one job, the next pages are analysed ahead
// as in the run itself, within the same budget.

#include "batch/batch_host.h"
#include "batch/file_system.h"
#include "batch/folder_run.h"
#include "batch/site_words.h"
#include "engine/analysis_host.h"

#include <optional>

namespace tagwright {

// The site words of the job's run, at the share its settings ask for; none when the host's
// Stop was pressed meanwhile. The analyses ask no question: a Unix-type page is analysed, an
// invalid end-font tag passed over, as in a run without a person. The run's host hears of each
// page examined (siteWordsProgress).
std::optional<SiteWords> findSiteWords(const BatchJob& job, BatchHost& runHost,
                                       AnalysisHost& host, FileSystem& fs);

} // namespace tagwright
