#include "json_output.h"

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

}  // namespace kestaro
