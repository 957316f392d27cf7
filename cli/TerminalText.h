// Text from outside (values, file names, the system's messages) made safe for one line of a
// terminal.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace hillograph {

// The text with its control characters written as escapes, so that neither a value on the command
// line nor a file name can break the message's line or drive the terminal.
std::string Escaped(std::string_view Text);

// What went wrong, in the system's words; memory that could not be had is "Out of memory" wherever
// it happened, as the core says it.
std::string MessageOf(const std::exception& Error);

// A usage message in one line, without a trailing full stop.
std::string OneLine(std::string_view Message);

}  // namespace hillograph
