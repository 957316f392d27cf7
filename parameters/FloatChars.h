// Doubles to and from text without the locale: std::from_chars and std::to_chars where the C++
// library has them for floating point, and elsewhere (emscripten's libc++) the C library's
// strtod and snprintf, which are exact in musl and know no decimal point but ".".
#pragma once

#include <charconv>
#include <system_error>

#if !defined(__cpp_lib_to_chars)
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#endif

namespace hillograph {

// As std::from_chars: Value is left alone unless the text is a number in range; a number too
// large, or too small to be anything but zero, is result_out_of_range.
inline std::from_chars_result DoubleFromChars(const char* First, const char* Last, double& Value) {
#if defined(__cpp_lib_to_chars)
  return std::from_chars(First, Last, Value);
#else
  const std::string text(First, Last);  // strtod needs the end marked
  if (text.empty() || !(text[0] == '-' || text[0] == '.' || (text[0] >= '0' && text[0] <= '9')))
    return {First, std::errc::invalid_argument};
  char* end = nullptr;
  errno = 0;
  const double parsed = std::strtod(text.c_str(), &end);
  const char* stop = First + (end - text.c_str());
  if (stop == First) return {First, std::errc::invalid_argument};
  // musl reports subnormal results as out of range too; std::from_chars takes them.
  if (errno == ERANGE && (parsed == 0.0 || std::isinf(parsed)))
    return {stop, std::errc::result_out_of_range};
  Value = parsed;
  return {stop, std::errc()};
#endif
}

// As std::to_chars(First, Last, Value, std::chars_format::scientific, Precision).
inline std::to_chars_result DoubleToCharsScientific(char* First, char* Last, double Value,
                                                    int Precision) {
#if defined(__cpp_lib_to_chars)
  return std::to_chars(First, Last, Value, std::chars_format::scientific, Precision);
#else
  const int written =
      std::snprintf(First, static_cast<std::size_t>(Last - First), "%.*e", Precision, Value);
  if (written < 0 || written >= Last - First) return {Last, std::errc::value_too_large};
  return {First + written, std::errc()};
#endif
}

}  // namespace hillograph
