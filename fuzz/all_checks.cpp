#include "fuzz_checks.h"

namespace tagwright::fuzz {

const std::vector<NamedCheck>& allChecks()
{
    static const std::vector<NamedCheck> checks = {
        {"dates", checkDates},
        {"wildcard", checkWildcard},
        {"existing_tags", checkExistingTags},
        {"insertion", checkInsertion},
        {"analysis", checkAnalysis},
        {"line_preparation", checkLinePreparation},
        {"parallel_run", checkParallelRun},
    };
    return checks;
}

} // namespace tagwright::fuzz
