#pragma once

// The options that say which pages a walk over a folder takes, shared by batch, check and
// restore, and the one FOLDER operand they act on.

#include "batch/batch_settings.h"
#include "cli/console.h"
#include "cli/option_parser.h"
#include "cli/report_destination.h"

#include <string>

namespace tagwright::cli {

OptionGroup walkingOptionGroup(const std::string& title);

// --recursive and --ext into the settings; throws UsageError for an unknown extension.
void readWalkingOptions(const ParsedOptions& options, BatchSettings& settings);

// The one FOLDER operand, exactly as given; throws UsageError when there is none or more.
std::string folderOperand(const ParsedOptions& options);

// Whether path, exactly as given (no blanks trimmed), is a folder or a link to one.
bool folderExists(const std::string& path);

// Whether path is a folder; if not, says why on stderr ("tagwright-cli: PATH: reason").
bool isFolderOrSaysWhy(const std::string& path, const Console& console);

// The extensions that the settings tick, lower case.
PageScope pageScopeOf(const std::string& folder, const BatchSettings& settings);

// Why a file given in place of its folder is none of the pages a run over that folder would
// take; empty when it is one.
std::string whyNotAPage(const std::string& path, const PageScope& scope);

} // namespace tagwright::cli
