// The one exception type that carries a message meant for the user.
#pragma once

#include <stdexcept>

namespace hillograph {

class TError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace hillograph
