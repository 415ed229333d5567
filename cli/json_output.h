#ifndef KESTARO_CLI_JSON_OUTPUT_H
#define KESTARO_CLI_JSON_OUTPUT_H

#include <string>

#include <nlohmann/json.hpp>

#include "console.h"

// Every JSON text kestaro-cli writes, for every command: compact, keys in
// the order they were set, anything beyond ASCII as \u escapes. Plain ASCII
// is the same bytes in UTF-8, code page 932 and a console's UTF-16, so a
// reader gets UTF-8 whatever the code page of the console or the pipe.
namespace kestaro {

using Json = nlohmann::ordered_json;

// The value's text, without a line end; invalid UTF-8 in a string becomes
// U+FFFD instead of stopping the dump.
std::string jsonText(const Json& value);

// The value and LF on standard output, as console::out writes them.
bool printJson(const Json& value,
               console::ClosedPipe closedPipe = console::ClosedPipe::EndsTheProgram);

// An array written as its elements come, so that what a reader has of an
// interrupted command ends with a whole element: each element after "[" or
// ",", then the end, "]" and LF ("[]" and LF when there was none).
std::string jsonElementText(const Json& element, bool first);
std::string jsonArrayEndText(bool empty);

}  // namespace kestaro

#endif
