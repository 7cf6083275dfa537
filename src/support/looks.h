#pragma once

// Long work on one text (a page without line ends is one line as long as the file) asks now and
// then whether to go on, so that Stop is taken while it runs.

#include <cstddef>
#include <functional>

namespace tagwright {

// Asked once per kBytesPerLook bytes of a long text; once it answers false the work is given up.
// An empty function always goes on.
using KeepGoing = std::function<bool()>;

// Small enough that the window lets events through about every 1 MiB of work (every 64th look),
// large enough that an ordinary line is never asked about.
inline constexpr std::size_t kBytesPerLook = 16 * 1024;

} // namespace tagwright
