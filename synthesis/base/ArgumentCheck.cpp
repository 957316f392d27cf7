#include "synthesis/base/ArgumentCheck.h"

#include <sstream>
#include <string>

#include "synthesis/base/Error.h"

namespace hillograph {
namespace {

template <class T>
[[noreturn]] void Reject(std::string_view name, T value, T min, T max) {
  std::ostringstream message;
  message.imbue(std::locale::classic());
  message << name << " must be " << min << " .. " << max << ", not " << value;
  throw TError(message.str());
}

}  // namespace

void CheckArgument(std::string_view Name, std::int64_t Value, std::int64_t Min, std::int64_t Max) {
  if (Value < Min || Value > Max) Reject(Name, Value, Min, Max);
}

void CheckNumberArgument(std::string_view Name, double Value, double Min, double Max) {
  if (!(Value >= Min && Value <= Max)) Reject(Name, Value, Min, Max);
}

}  // namespace hillograph
