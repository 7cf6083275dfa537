#pragma once

// How many file descriptors work done ahead of a run (pages written ahead, folders listed ahead)
// may hold at once: a quarter of the process's limit, so that the run's own files, which one job
// would open too, never find the limit reached by work that is only a guess.

#include <cstddef>

namespace tagwright {

std::size_t descriptorsForWorkAhead();

} // namespace tagwright
