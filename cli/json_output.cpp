#include "json_output.h"

#include <charconv>
#include <string_view>
#include <cstdint>
#include <cstdlib>

namespace kestaro {

std::string jsonText(const Json& value) {
  return value.dump(-1, ' ', true, nlohmann::json::error_handler_t::replace);
}

bool printJson(const Json& value, console::ClosedPipe closedPipe) {
  return console::out(jsonText(value) + "\n", closedPipe);
}

std::string jsonElementText(const Json& element, bool first) {
  return (first ? "[" : ",") + jsonText(element);
}

std::string jsonArrayEndText(bool empty) {
  return empty ? "[]\n" : "]\n";
}

Json shownNumber(const std::string& shown) {
  std::size_t digits = 0, points = 0;
  // A hand-edited draw may hold a negative number, which the table shows.
  const std::string_view digitsPart =
      std::string_view(shown).substr(!shown.empty() && shown[0] == '-');
  for (char c : digitsPart) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.') {
      ++points;
    } else {
      return shown;
    }
  }
  if (digits == 0 || points > 1) return shown;
  if (points == 0) {
    std::int64_t whole = 0;
    const auto [end, error] = std::from_chars(shown.data(), shown.data() + shown.size(), whole);
    if (error == std::errc() && end == shown.data() + shown.size()) return whole;
  }
  return std::strtod(shown.c_str(), nullptr);  // the C locale: '.' is the point
}

}  // namespace kestaro
