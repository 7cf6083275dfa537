#pragma once

#include <stdexcept>

namespace tagwright::cli {

// A failure that ends a command before it has touched any page, such as a common-word list that
// cannot be read. The message names the file and the system's reason; the front end prints it
// after the program's name and exits with status 1.
class CommandFailure : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

} // namespace tagwright::cli
