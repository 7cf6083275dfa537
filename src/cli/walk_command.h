#pragma once

// A command that walks a folder of pages (batch, check, restore). Its run is one prelude for
// them all: the command reads its own options first (a usage error comes before anything is
// looked at), then the folder is checked, the --report and --report-html destinations, the hold
// on a folder that the run writes in and the program texts; only then does the command walk.

#include "batch/batch_settings.h"
#include "batch/run_lock.h"
#include "cli/command.h"
#include "cli/report_destination.h"
#include "support/program_text.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tagwright::cli {

// What the prelude has settled for the walk.
struct WalkStart
{
    std::string folder; // the operand, exactly as given
    BatchSettings settings;
    PageScope scope;
    bool onePage = false;                    // a page of the folder given in its place
    std::optional<ReportDestination> report; // --report, checked and open
    std::unique_ptr<ReportDestination> htmlReport; // --report-html, likewise
    std::unique_ptr<RunLock> runLock;        // held when the run writes
    std::optional<ProgramTextStore> texts;   // when the walk asked for them
};

// A command's walk, as its options made it, and what its prelude is to do.
struct WalkPlan
{
    BatchSettings settings;    // the walking options read, with the command's own
    bool writes = false;       // the run holds its folder (a dry run does not)
    bool programTexts = false; // the run writes report lines
    bool takesOnePage = false; // a page that a run over its folder would take may stand for it
    std::function<int(WalkStart& start)> walk;
};

class WalkCommand : public Command
{
  public:
    std::string_view operands() const override { return "FOLDER"; }
    // The prelude, then the walk of the plan, for the one operand.
    int run(const ParsedOptions& options, const Console& console) const override;

  protected:
    // Reads the command's options into its plan; throws UsageError.
    virtual WalkPlan plan(const ParsedOptions& options, const Console& console) const = 0;
};

} // namespace tagwright::cli
