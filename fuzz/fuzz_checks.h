#pragma once

// The properties that the fuzz targets check. Each takes one input, runs it through the real
// entry points of the core and returns what went wrong, or an empty text when all held. The
// fuzzers abort on a non-empty answer; the regression test replays saved inputs through the
// same functions, so a crash once found stays fixed in every build.

#include <string>
#include <string_view>
#include <vector>

namespace tagwright::fuzz {

using FuzzCheck = std::string (*)(std::string_view input);

struct NamedCheck {
    std::string_view name; // the target's name, and the folder of its corpus and regressions
    FuzzCheck check;
};

std::string checkDates(std::string_view input);
std::string checkWildcard(std::string_view input);
std::string checkExistingTags(std::string_view input);
std::string checkInsertion(std::string_view input);
std::string checkAnalysis(std::string_view input);
std::string checkLinePreparation(std::string_view input);
std::string checkParallelRun(std::string_view input);

const std::vector<NamedCheck>& allChecks();

} // namespace tagwright::fuzz
