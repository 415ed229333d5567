#include "json_output.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "decimal_text.h"

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
  // A hand-edited draw may hold a negative number, which the table shows.
  const bool negative = !shown.empty() && shown[0] == '-';
  if (!isPlainDecimal(std::string_view(shown).substr(negative))) return shown;
  if (shown.find('.') == std::string::npos) {
    std::int64_t whole = 0;
    const auto [end, error] = std::from_chars(shown.data(), shown.data() + shown.size(), whole);
    if (error == std::errc() && end == shown.data() + shown.size()) return whole;
  }
  return std::strtod(shown.c_str(), nullptr);  // the C locale: '.' is the point
}

}  // namespace kestaro
