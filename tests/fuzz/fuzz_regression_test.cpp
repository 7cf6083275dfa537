// Replays the seed corpus and the saved crash inputs of each fuzz target (fuzz/corpus/<name>,
// fuzz/regressions/<name>) through the target's check, so that what a fuzzer once found stays
// fixed in the normal and the sanitizer build alike.

#include "fuzz_checks.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tagwright::fuzz {

void PrintTo(const NamedCheck& check, std::ostream* out)
{
    *out << check.name;
}

namespace {

namespace fs = std::filesystem;

class FuzzInputs : public ::testing::TestWithParam<NamedCheck> {};

int replayFolder(const fs::path& folder, const NamedCheck& check)
{
    int replayed = 0;
    if (!fs::is_directory(folder))
        return replayed;
    for (const auto& entry : fs::directory_iterator(folder)) {
        SCOPED_TRACE(entry.path().string());
        EXPECT_EQ(check.check(readWholeFile(entry.path())), "");
        ++replayed;
    }
    return replayed;
}

TEST_P(FuzzInputs, SeedsAndSavedCrashesKeepEveryProperty)
{
    const fs::path root = TAGWRIGHT_FUZZ_DIR;
    const std::string name(GetParam().name);
    EXPECT_GT(replayFolder(root / "corpus" / name, GetParam()), 0) << "no seeds for " << name;
    replayFolder(root / "regressions" / name, GetParam());
}

INSTANTIATE_TEST_SUITE_P(AllTargets, FuzzInputs, ::testing::ValuesIn(allChecks()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tagwright::fuzz
