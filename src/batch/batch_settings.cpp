#include "batch/batch_settings.h"

#include "support/files.h"
#include "support/strings.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tagwright {

namespace {

struct Extension
{
    bool BatchSettings::*ticked;
    std::string_view pattern;
};

constexpr std::array<Extension, 4> kExtensions{{{&BatchSettings::htm, "*.htm"},
                                                {&BatchSettings::html, "*.html"},
                                                {&BatchSettings::shtm, "*.shtm"},
                                                {&BatchSettings::shtml, "*.shtml"}}};

} // namespace

std::set<std::string> tickedExtensions(const BatchSettings& settings)
{
    std::set<std::string> extensions;
    for (const Extension& extension : kExtensions)
        if (settings.*extension.ticked)
            extensions.emplace(extension.pattern.substr(2));
    return extensions;
}

bool BatchSettings::hasTickedExtension(const std::string& name) const
{
    return std::ranges::any_of(kExtensions, [&](const Extension& extension) {
        return this->*extension.ticked && matchFileName(name, extension.pattern, false);
    });
}

bool BatchSettings::takesFile(const std::string& name) const
{
    return lowerCaseAccented(name).find(".bak.") == std::string::npos && hasTickedExtension(name);
}

} // namespace tagwright
