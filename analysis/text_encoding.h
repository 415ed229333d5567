#ifndef KESTARO_ANALYSIS_TEXT_ENCODING_H
#define KESTARO_ANALYSIS_TEXT_ENCODING_H

#include <optional>
#include <string_view>

namespace kestaro {

// How a text file is stored: the draw file, or a results file that players have.
enum class TextEncoding { Utf8, Utf16LittleEndian, Utf16BigEndian, ShiftJis };

// Its name in a report: "UTF-8", "UTF-16LE", "UTF-16BE", "Shift-JIS (CP932)".
const char* encodingName(TextEncoding encoding);

// What a byte-order mark at the start says: UTF-8 or UTF-16 either way;
// nothing without one.
std::optional<TextEncoding> markedEncoding(std::string_view bytes);

// The bytes after that mark, the whole of them without one.
std::string_view afterMark(std::string_view bytes);

}  // namespace kestaro

#endif
