#pragma once

#include <stdexcept>

namespace tagwright::cli {

// A command line that cannot be run as given: the message is one line naming what is wrong.
// Thrown while arguments are read and caught by the front end, which exits with status 2.
class UsageError : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

} // namespace tagwright::cli
