#include "cli_options.h"

#include <charconv>
#include <cstdlib>
#include <map>
#include <set>

namespace kestaro {

namespace {

// Options that take a value, and the commands each belongs to.
const std::map<std::string, std::set<std::string>> kValueOptions{
    {"--file", {"history", "distribution", "search", "best", "add", "import"}},
    {"--format", {"history", "distribution", "search"}},
    {"--count", {"search"}},
    {"--threshold", {"search", "best"}},
    {"--seed", {"search"}},
    {"--columns", {"import"}},
};
const std::map<std::string, std::set<std::string>> kFlags{
    {"--dry-run", {"import"}},
    {"--force", {"import"}},
};
const std::map<std::string, std::size_t> kArgumentCounts{
    {"history", 0}, {"distribution", 0}, {"search", 0}, {"best", 0}, {"add", 1}, {"import", 1}};

template <typename Number>
std::optional<Number> wholeNumber(const std::string& text) {
  Number value{};
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A non-negative decimal: digits with at most one decimal point.
std::optional<double> percent(const std::string& text) {
  std::size_t digits = 0, points = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.') {
      ++points;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0 || points > 1) return std::nullopt;
  return std::strtod(text.c_str(), nullptr);  // the C locale: '.' is the point
}

std::optional<Columns> columnList(const std::string& text) {
  Columns columns{};
  std::size_t start = 0;
  for (int i = 0; i < 6; ++i) {
    const std::size_t end = text.find(',', start);
    if ((end == std::string::npos) != (i == 5)) return std::nullopt;
    auto value = wholeNumber<int>(text.substr(start, end == std::string::npos ? end : end - start));
    if (!value || *value < 1) return std::nullopt;
    columns[i] = *value;
    start = end + 1;
  }
  return columns;
}

// Stores one option's value; the reason when it is refused.
std::string setValue(CliOptions& o, const std::string& name, const std::string& value) {
  if (name == "--file") {
    o.file = value;
  } else if (name == "--format") {
    if (value != "csv" && value != "tsv") return "--format は csv か tsv です";
    o.csv = value == "csv";
  } else if (name == "--count") {
    auto count = wholeNumber<int>(value);
    if (!count || *count < 0) return "--count は 0 以上の整数です";
    o.count = *count;
  } else if (name == "--threshold") {
    auto threshold = percent(value);
    if (!threshold) return "--threshold は 0 以上の数です (例: 9.5)";
    o.threshold = *threshold;
    o.thresholdText = value;
  } else if (name == "--seed") {
    auto seed = wholeNumber<std::uint64_t>(value);
    if (!seed) return "--seed は 0 以上の整数です";
    o.seed = static_cast<std::uint32_t>(*seed);  // the clock's low 32 bits
  } else if (name == "--columns") {
    auto columns = columnList(value);
    if (!columns) return "--columns は 1 から始まる列番号 6 つです (例: 3,4,5,6,7,8)";
    o.columns = *columns;
  }
  return "";
}

std::string checkCommand(const CliOptions& o, const std::vector<std::string>& used) {
  auto expected = kArgumentCounts.find(o.command);
  if (expected == kArgumentCounts.end()) return "コマンドがありません: " + o.command;
  if (o.arguments.size() != expected->second) return o.command + " の引数の数が違います";
  for (const std::string& name : used) {
    auto value = kValueOptions.find(name);
    const auto& owners = value != kValueOptions.end() ? value->second : kFlags.at(name);
    if (owners.count(o.command) == 0) return name + " は " + o.command + " には使えません";
  }
  return "";
}

}  // namespace

ParsedOptions parseOptions(const std::vector<std::string>& words) {
  ParsedOptions parsed;
  CliOptions& o = parsed.options;
  std::vector<std::string> used;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--help" || word == "-h") {
      o.help = true;
    } else if (kFlags.count(word) != 0) {
      used.push_back(word);
      (word == "--force" ? o.force : o.dryRun) = true;
    } else if (kValueOptions.count(word) != 0) {
      if (i + 1 == words.size()) return {o, word + " に値がありません"};
      used.push_back(word);
      std::string error = setValue(o, word, words[++i]);
      if (!error.empty()) return {o, error};
    } else if (word.size() > 1 && word[0] == '-' && (word[1] < '0' || word[1] > '9')) {
      return {o, "知らないオプションです: " + word};
    } else {
      positional.push_back(word);
    }
  }
  if (o.help) return parsed;
  if (positional.empty()) return {o, "コマンドを指定してください"};
  o.command = positional.front();
  o.arguments.assign(positional.begin() + 1, positional.end());
  parsed.error = checkCommand(o, used);
  return parsed;
}

}  // namespace kestaro
