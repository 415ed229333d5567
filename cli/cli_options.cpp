#include "cli_options.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "decimal_text.h"

namespace kestaro {

WholeNumber wholeNumber(const std::string& text, std::int64_t most) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return {};
  std::int64_t value = 0;
  for (char c : text) {
    value = value * 10 + (c - '0');
    if (value > most) return {std::nullopt, true};
  }
  return {value, false};
}

std::string tooLargeText(const std::string& what, std::int64_t most) {
  return what + "が大きすぎます (最大 " + std::to_string(most) + ")";
}

namespace {

// A non-negative decimal: digits with at most one decimal point.
std::optional<double> percent(const std::string& text) {
  if (!isPlainDecimal(text)) return std::nullopt;
  return std::strtod(text.c_str(), nullptr);  // the C locale: '.' is the point
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
  const WholeNumber count = wholeNumber(value, kMostInt);
  if (count.tooLarge) return tooLargeText("--count ", kMostInt);
  if (!count.value) return "--count は 0 以上の整数です";
  o.count = static_cast<int>(*count.value);
  return "";
}

std::string storeThreshold(CliOptions& o, const std::string& value) {
  auto threshold = percent(value);
  if (!threshold) return "--threshold は 0 以上の数です (例: 9.5)";
  o.threshold = *threshold;
  o.thresholdText = value;
  return "";
}

// Every seed the clock can give, and no other: a larger one would wrap to
// a seed that was never asked for.
std::string storeSeed(CliOptions& o, const std::string& value) {
  const WholeNumber seed = wholeNumber(value, UINT32_MAX);
  if (seed.tooLarge) return tooLargeText("--seed ", UINT32_MAX);
  if (!seed.value) return "--seed は 0 以上の整数です";
  o.seed = static_cast<std::uint32_t>(*seed.value);
  return "";
}

std::string storeFrom(CliOptions& o, const std::string& value) {
  const WholeNumber from = wholeNumber(value, kMostInt);
  if (from.tooLarge) return tooLargeText("--from ", kMostInt);
  if (!from.value || *from.value < 2) return "--from は 2 以上の整数です";
  o.from = static_cast<int>(*from.value);
  return "";
}

// More threads than targets or cores gain nothing; a bound keeps a typo
// from starting millions.
constexpr int kMostJobs = 1024;

std::string storeJobs(CliOptions& o, const std::string& value) {
  const WholeNumber jobs = wholeNumber(value, kMostJobs);
  if (jobs.tooLarge) return tooLargeText("--jobs ", kMostJobs);
  if (!jobs.value || *jobs.value < 1) return "--jobs は 1 から 1024 までの整数です";
  o.jobs = static_cast<int>(*jobs.value);
  return "";
}

const CommandRow* findCommand(const std::vector<CommandRow>& commands, const std::string& name) {
  for (const CommandRow& command : commands) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

bool accepts(const CommandRow& command, const OptionRow* option) {
  return std::find(command.options.begin(), command.options.end(), option) != command.options.end();
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

const OptionRow* sharedOption(const std::string& name) {
  static const OptionRow table[]{
      {"--file", "PATH", "当選番号ファイル (既定: 現在のフォルダの LOTO.DAT)", storeFile},
      {"--format", "FORMAT",
       "出力の形式: tsv (既定、表はタブ区切り)、csv (表のみ)、json (1 行の JSON、\n"
       "backtest --tickets では券ごとに 1 行の JSON Lines)",
       storeFormat},
      {"--count", "N", nullptr, storeCount},
      {"--threshold", "P", nullptr, storeThreshold},
      {"--seed", "S", nullptr, storeSeed},
      {"--from", "T", nullptr, storeFrom},
      {"--jobs", "J", nullptr, storeJobs},
  };
  for (const OptionRow& option : table) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

const OptionRow* findOption(const std::vector<CommandRow>& commands, const std::string& name) {
  for (const CommandRow& command : commands) {
    for (const OptionRow* option : command.options) {
      if (name == option->name) return option;
    }
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
  std::vector<const OptionRow*> named;  // the rows of `used`
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
    const OptionRow* option = findOption(commands, name);
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
    named.push_back(option);
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
  for (std::size_t i = 0; i < used.size(); ++i) {
    if (!accepts(*command, named[i]))
      return {o, nullptr, used[i] + " は " + o.command + " には使えません"};
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
    for (const OptionRow* option : command.options) {
      if (option->help != nullptr) continue;
      head += std::string(" [") + option->name;
      if (option->valueName != nullptr) head += std::string(" ") + option->valueName;
      head += "]";
    }
    text += describe(head, kCommandColumn, command.help);
  }
  // Each described option once, where a command first names it.
  text += "\nオプション:\n";
  std::vector<const OptionRow*> described;
  for (const CommandRow& command : commands) {
    for (const OptionRow* option : command.options) {
      if (option->help == nullptr ||
          std::find(described.begin(), described.end(), option) != described.end())
        continue;
      described.push_back(option);
      std::string head = std::string("  ") + option->name;
      if (option->valueName != nullptr) head += std::string(" ") + option->valueName;
      text += describe(head, kOptionColumn, option->help);
    }
  }
  text += "  値は --file=PATH のようにも書けます。-- より後の語はオプションとして読みません。\n";
  text += "\n終了コード: 0 成功、1 使い方または入力の誤り、2 ファイルの誤り、3 出現率に届かない\n";
  return text;
}

}  // namespace kestaro
