#include "engine/analysis_host.h"

namespace tagwright {

std::string reportWithNowGenerating(std::string_view report)
{
    const auto kept =
        static_cast<long long>(report.size()) - 2 - static_cast<long long>(kNowProcessing.size());
    if (kept <= 0)
        return std::string(report);
    std::string result(report.substr(0, static_cast<std::size_t>(kept)));
    result += "  ";
    result += kNowGenerating;
    return result;
}

} // namespace tagwright
