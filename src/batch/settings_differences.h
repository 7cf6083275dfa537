#pragma once

// The choices of a batch run that differ from the program's defaults, as a report names them,
// so that a reader sees what shaped the tags without the whole list of settings.

#include "batch/batch_settings.h"
#include "engine/analysis_settings.h"
#include "output/tag_settings.h"

#include <string>
#include <vector>

namespace tagwright {

// Each choice that differs, in words ("subfolders included", "language: French",
// "at most 30 keywords"), in the order of the windows; the report log's own switches and the
// questions of the desktop program are left out, since they shape no tag.
std::vector<std::string> settingsDifferences(const BatchSettings& batch,
                                             const AnalysisSettings& analysis,
                                             const TagSettings& tag);

} // namespace tagwright
