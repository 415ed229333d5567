#include "cli_options.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "decimal_text.h"

namespace kestaro {

namespace {

template <typename Number>
std::optional<Number> wholeNumber(const std::string& text) {
  Number value{};
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A non-negative decimal: digits with at most one decimal point.
std::optional<double> percent(const std::string& text) {
  if (!isPlainDecimal(text)) return std::nullopt;
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

std::string storeFile(CliOptions& o, const std::string& value) {
  o.file = value;
  return "";
}

std::string storeFormat(CliOptions& o, const std::string& value) {
  if (value == "tsv") {
    o.format = OutputFormat::Text;
  } else if (value == "csv") {
    o.format = OutputFormat::Csv;
  } else if (value == "json") {
    o.format = OutputFormat::Json;
  } else {
    return "--format は csv、tsv、json のいずれかです";
  }
  return "";
}

std::string storeCount(CliOptions& o, const std::string& value) {
  auto count = wholeNumber<int>(value);
  if (!count || *count < 0) return "--count は 0 以上の整数です";
  o.count = *count;
  return "";
}

std::string storeThreshold(CliOptions& o, const std::string& value) {
  auto threshold = percent(value);
  if (!threshold) return "--threshold は 0 以上の数です (例: 9.5)";
  o.threshold = *threshold;
  o.thresholdText = value;
  return "";
}

std::string storeSeed(CliOptions& o, const std::string& value) {
  auto seed = wholeNumber<std::uint64_t>(value);
  if (!seed) return "--seed は 0 以上の整数です";
  o.seed = static_cast<std::uint32_t>(*seed);  // the clock's low 32 bits
  return "";
}

std::string storeFrom(CliOptions& o, const std::string& value) {
  auto from = wholeNumber<int>(value);
  if (!from || *from < 2) return "--from は 2 以上の整数です";
  o.from = *from;
  return "";
}

// More threads than targets or cores gain nothing; a bound keeps a typo
// from starting millions.
constexpr int kMostJobs = 1024;

std::string storeJobs(CliOptions& o, const std::string& value) {
  auto jobs = wholeNumber<int>(value);
  if (!jobs || *jobs < 1 || *jobs > kMostJobs) return "--jobs は 1 から 1024 までの整数です";
  o.jobs = *jobs;
  return "";
}

std::string storeTickets(CliOptions& o, const std::string&) {
  o.tickets = true;
  return "";
}

std::string storeOut(CliOptions& o, const std::string& value) {
  if (value.empty()) return "--out はファイルの名前か - (標準出力) です";
  o.out = value;
  return "";
}

std::string storeBacktest(CliOptions& o, const std::string&) {
  o.backtest = true;
  return "";
}

std::string storeColumns(CliOptions& o, const std::string& value) {
  auto columns = columnList(value);
  if (!columns) return "--columns は 1 から始まる列番号 6 つです (例: 3,4,5,6,7,8)";
  o.columns = *columns;
  return "";
}

std::string storeDryRun(CliOptions& o, const std::string&) {
  o.dryRun = true;
  return "";
}

std::string storeForce(CliOptions& o, const std::string&) {
  o.force = true;
  return "";
}

const CommandRow* findCommand(const std::vector<CommandRow>& commands, const std::string& name) {
  for (const CommandRow& command : commands) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

bool accepts(const CommandRow& command, const std::string& option) {
  return std::any_of(command.options.begin(), command.options.end(),
                     [&](const char* name) { return option == name; });
}

// A word that reads as an option; "-" alone and negative numbers are words.
bool looksLikeOption(const std::string& word) {
  return word.size() > 1 && word[0] == '-' && (word[1] < '0' || word[1] > '9');
}

// Pads `head` to `column` and adds the description, its further lines
// indented there too; a head too wide for it stands on a line of its own.
std::string describe(std::string head, std::size_t column, const std::string& text) {
  if (head.size() < column) {
    head.append(column - head.size(), ' ');
  } else {
    head += "\n" + std::string(column, ' ');
  }
  const std::string indent(column, ' ');
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (start != 0) head += indent;
    head += text.substr(start, end - start) + "\n";
    start = end + 1;
  }
  return head;
}

constexpr std::size_t kCommandColumn = 31;
constexpr std::size_t kOptionColumn = 18;

}  // namespace

const std::vector<OptionRow>& optionTable() {
  static const std::vector<OptionRow> table{
      {"--file", "PATH", "当選番号ファイル (既定: 現在のフォルダの LOTO.DAT)", storeFile},
      {"--format", "FORMAT", "出力の形式: tsv (既定、表はタブ区切り)、csv (表のみ)、json",
       storeFormat},
      {"--count", "N", nullptr, storeCount},
      {"--threshold", "P", nullptr, storeThreshold},
      {"--seed", "S", nullptr, storeSeed},
      {"--columns", "a,b,c,d,e,z", nullptr, storeColumns},
      {"--dry-run", nullptr, nullptr, storeDryRun},
      {"--force", nullptr, nullptr, storeForce},
      {"--from", "T", nullptr, storeFrom},
      {"--tickets", nullptr, nullptr, storeTickets},
      {"--jobs", "J", nullptr, storeJobs},
      {"--out", "FILE", nullptr, storeOut},
      {"--backtest", nullptr, nullptr, storeBacktest},
  };
  return table;
}

const OptionRow* findOption(const std::string& name) {
  for (const OptionRow& option : optionTable()) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

std::size_t argumentCount(const CommandRow& command) {
  std::size_t count = 0;
  bool inWord = false;
  for (const char* c = command.arguments; *c != '\0'; ++c) {
    if (*c != ' ' && !inWord) ++count;
    inWord = *c != ' ';
  }
  return count;
}

ParsedOptions parseOptions(const std::vector<std::string>& words,
                           const std::vector<CommandRow>& commands) {
  ParsedOptions parsed;
  CliOptions& o = parsed.options;
  std::vector<std::string> used;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (optionsEnded) {
      positional.push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    if (word == "--help" || word == "-h") {
      o.help = true;
      continue;
    }
    if (!looksLikeOption(word)) {
      positional.push_back(word);
      continue;
    }
    const std::size_t equals = word.find('=');
    const bool joined = word.compare(0, 2, "--") == 0 && equals != std::string::npos;
    const std::string name = joined ? word.substr(0, equals) : word;
    const OptionRow* option = findOption(name);
    if (option == nullptr) return {o, nullptr, "知らないオプションです: " + word};
    std::string value;
    if (joined) {
      if (option->valueName == nullptr) return {o, nullptr, name + " には値を付けられません"};
      value = word.substr(equals + 1);
    } else if (option->valueName != nullptr) {
      if (i + 1 == words.size()) return {o, nullptr, name + " に値がありません"};
      value = words[++i];
    }
    used.push_back(name);
    std::string error = option->store(o, value);
    if (!error.empty()) return {o, nullptr, error};
  }
  if (o.help) return parsed;
  if (positional.empty()) return {o, nullptr, "コマンドを指定してください"};
  o.command = positional.front();
  o.arguments.assign(positional.begin() + 1, positional.end());
  const CommandRow* command = findCommand(commands, o.command);
  if (command == nullptr) return {o, nullptr, "コマンドがありません: " + o.command};
  if (o.arguments.size() != argumentCount(*command)) {
    return {o, nullptr, o.command + " の引数の数が違います"};
  }
  for (const std::string& name : used) {
    if (!accepts(*command, name))
      return {o, nullptr, name + " は " + o.command + " には使えません"};
  }
  o.given = std::move(used);
  parsed.command = command;
  return parsed;
}

std::string usageText(const std::vector<CommandRow>& commands) {
  std::string text = "使い方: kestaro-cli コマンド [オプション]\n\nコマンド:\n";
  for (const CommandRow& command : commands) {
    std::string head = std::string("  ") + command.name;
    if (std::strlen(command.arguments) != 0) head += std::string(" ") + command.arguments;
    for (const char* name : command.options) {
      const OptionRow* option = findOption(name);
      if (option == nullptr || option->help != nullptr) continue;
      head += std::string(" [") + option->name;
      if (option->valueName != nullptr) head += std::string(" ") + option->valueName;
      head += "]";
    }
    text += describe(head, kCommandColumn, command.help);
  }
  text += "\nオプション:\n";
  for (const OptionRow& option : optionTable()) {
    if (option.help == nullptr) continue;
    std::string head = std::string("  ") + option.name;
    if (option.valueName != nullptr) head += std::string(" ") + option.valueName;
    text += describe(head, kOptionColumn, option.help);
  }
  text += "  値は --file=PATH のようにも書けます。-- より後の語はオプションとして読みません。\n";
  text += "\n終了コード: 0 成功、1 使い方または入力の誤り、2 ファイルの誤り、3 出現率に届かない\n";
  return text;
}

}  // namespace kestaro
