#include "cli/run_hold.h"

#include "support/quoted_name.h"

#include <filesystem>
#include <system_error>

namespace tagwright::cli {

OptionSpec noWaitOption()
{
    return {"no-wait", "",
            "end at once (exit 1) when another run over this folder, a folder above it or one "
            "in it is going on; by default wait for it"};
}

std::unique_ptr<RunLock> holdRunFolder(const std::string& folder, const ParsedOptions& options,
                                       const Console& console)
{
    const bool wait = !options.has("no-wait");
    std::string heldName;
    auto lock = std::make_unique<RunLock>(folder, [&](const std::string& held) {
        // The folder as the user named it, or the one above it that the other run holds.
        std::error_code error;
        heldName = std::filesystem::equivalent(held, folder, error) ? folder : held;
        if (wait)
            console.printMessage("waiting for another run over " + shellQuotedName(heldName) +
                                 "...");
        return wait;
    });
    if (lock->state() != RunLock::State::TakenByAnother)
        return lock;
    console.printFileMessage(heldName, "Another run over this folder has not finished.");
    return nullptr;
}

} // namespace tagwright::cli
