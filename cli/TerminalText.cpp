#include "cli/TerminalText.h"

#include <new>

namespace hillograph {

std::string Escaped(std::string_view Text) {
  std::string out;
  for (const char c : Text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      constexpr char Hex[] = "0123456789ABCDEF";
      out += "\\x";
      out += Hex[byte >> 4];
      out += Hex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

std::string MessageOf(const std::exception& Error) {
  if (dynamic_cast<const std::bad_alloc*>(&Error) != nullptr) return "Out of memory";
  return Error.what();
}

std::string OneLine(std::string_view Message) {
  while (!Message.empty() &&
         (Message.back() == '.' || Message.back() == ' ' || Message.back() == '\n')) {
    Message.remove_suffix(1);
  }
  return Escaped(Message);
}

}  // namespace hillograph
