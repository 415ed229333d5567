#include "cli_options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "command_table.h"

namespace kestaro {
namespace {

using Words = std::vector<std::string>;

ParsedOptions parse(const Words& words) {
  return parseOptions(words, commandTable());
}

// The command a usable line chose; "" when it was refused or asked for help.
std::string commandOf(const ParsedOptions& parsed) {
  return parsed.command == nullptr ? "" : parsed.command->name;
}

TEST(CommandTable, NamesOnlyOptionsThatExist) {
  for (const CommandRow& command : commandTable()) {
    for (const OptionRow* option : command.options) {
      ASSERT_NE(option, nullptr) << command.name;
      EXPECT_EQ(std::string(option->name).compare(0, 2, "--"), 0) << command.name;
      EXPECT_NE(option->store, nullptr) << command.name << " names " << option->name;
      EXPECT_EQ(findOption(commandTable(), option->name), option) << option->name;
    }
    EXPECT_NE(command.run, nullptr) << command.name;
    ASSERT_NE(command.help, nullptr);
    const std::size_t length = std::strlen(command.help);
    EXPECT_TRUE(length > 0 && command.help[length - 1] == '\n') << command.name;
  }
}

// One name is one row, whichever command it is looked up by: the parser
// finds an option by name before it knows the command.
TEST(CommandTable, EveryCommandAndEveryOptionNameIsOnce) {
  std::set<std::string> commands;
  std::map<std::string, const OptionRow*> rows;
  for (const CommandRow& command : commandTable()) {
    EXPECT_TRUE(commands.insert(command.name).second) << command.name;
    std::set<std::string> options;
    for (const OptionRow* option : command.options) {
      EXPECT_TRUE(options.insert(option->name).second) << command.name << " " << option->name;
      EXPECT_EQ(rows.emplace(option->name, option).first->second, option)
          << option->name << " has two rows";
    }
  }
  for (const char* name :
       {"--file", "--format", "--count", "--threshold", "--seed", "--from", "--jobs"}) {
    ASSERT_NE(sharedOption(name), nullptr) << name;
    EXPECT_EQ(rows[name], sharedOption(name)) << name;
  }
}

TEST(Usage, ReadsAsItShould) {
  EXPECT_EQ(
      usageText(commandTable()),
      "使い方: kestaro-cli コマンド [オプション]\n"
      "\n"
      "コマンド:\n"
      "  history                      当選番号履歴を表示します\n"
      "  distribution                 当選番号分布を表示します\n"
      "  search [--count N] [--threshold P] [--seed S]\n"
      "                               出現率が P%以上の組合せを N 個探します (既定 10 "
      "個、10%)\n"
      "  best [--threshold P]         "
      "到達できる最高の出現率と、P%に届く組合せの数を表示します\n"
      "  add A,B,C,D,E,Z              当選番号を 1 回分登録します\n"
      "  import FILE [--columns a,b,c,d,e,z] [--dry-run] [--force]\n"
      "                               公表された当選番号の一覧 (CSV、タブ区切り、空白区切り) から\n"
      "                               まだ登録されていない回を追加します\n"
      "  backtest [--from T] [--count N] [--threshold P] [--seed S] [--tickets] [--jobs J]\n"
      "                               第 T 回 (既定 2) "
      "から最後の回まで、各回その前の回だけで N 枚\n"
      "                               (既定 10) 選び、当たりを公正な抽選の期待値と比べます\n"
      "                               (--tickets: 券ごとの行、--jobs: "
      "スレッドの数、既定はコアの数)\n"
      "  report [--out FILE] [--backtest] [--from T] [--count N] [--threshold P] [--seed S] "
      "[--jobs J]\n"
      "                               履歴を 1 枚の HTML ページにします: "
      "分布と公正な抽せんの期待値、\n"
      "                               最近の出方、出現率ごとの組合せの数 (既定 "
      "kestaro-report.html、\n"
      "                               -: 標準出力。--backtest: バックテストも、その --from "
      "などで)\n"
      "\n"
      "オプション:\n"
      "  --file PATH     当選番号ファイル (既定: 現在のフォルダの LOTO.DAT)\n"
      "  --format FORMAT 出力の形式: tsv (既定、表はタブ区切り)、csv (表のみ)、json (1 行の "
      "JSON、\n"
      "                  backtest --tickets では券ごとに 1 行の JSON Lines)\n"
      "  値は --file=PATH のようにも書けます。-- より後の語はオプションとして読みません。\n"
      "\n"
      "終了コード: 0 成功、1 使い方または入力の誤り、2 ファイルの誤り、3 出現率に届かない\n");
}

int firstHandler(const CliOptions&) {
  return 41;
}
int secondHandler(const CliOptions& o) {
  return static_cast<int>(o.arguments.size());
}

std::string storeForce(CliOptions& o, const std::string&) {
  o.force = true;
  return "";
}

// A command's own option beside the shared ones.
const OptionRow kForce{"--force", nullptr, nullptr, storeForce};

// A command is one row: the parser, the usage and the dispatch follow it.
const std::vector<CommandRow> kTestCommands{
    {"first", "", {sharedOption("--file")}, "one\n", firstHandler},
    {"pair",
     "LEFT RIGHT",
     {sharedOption("--seed"), &kForce, sharedOption("--format")},
     "two\nlines\n",
     secondHandler},
};

TEST(Usage, FollowsTheTable) {
  const std::string usage = usageText(kTestCommands);
  const std::string column(31, ' ');
  EXPECT_NE(usage.find("\n  first" + std::string(31 - 7, ' ') + "one\n"), std::string::npos)
      << usage;
  // Too wide for the column: the description starts on the next line.
  EXPECT_NE(usage.find("\n  pair LEFT RIGHT [--seed S] [--force]\n" + column + "two\n" + column +
                       "lines\n"),
            std::string::npos)
      << usage;
  // --file and --format have lines of their own.
  EXPECT_EQ(usage.find("[--format"), std::string::npos) << usage;
  EXPECT_EQ(usage.find("[--file"), std::string::npos) << usage;
  EXPECT_NE(usage.find("\n  --format FORMAT 出力の形式"), std::string::npos) << usage;
}

TEST(ParseOptions, DispatchesToTheRowsHandler) {
  ParsedOptions parsed = parseOptions({"first"}, kTestCommands);
  ASSERT_EQ(parsed.error, "");
  ASSERT_NE(parsed.command, nullptr);
  EXPECT_EQ(parsed.command->run(parsed.options), 41);
  parsed = parseOptions({"--seed=5", "pair", "a", "--force", "b"}, kTestCommands);
  ASSERT_EQ(parsed.error, "");
  ASSERT_NE(parsed.command, nullptr);
  EXPECT_EQ(parsed.command->run(parsed.options), 2);
  EXPECT_EQ(parsed.options.arguments, (Words{"a", "b"}));
  EXPECT_EQ(parsed.options.seed, 5u);
  EXPECT_TRUE(parsed.options.force);
  EXPECT_EQ(parseOptions({"pair", "a"}, kTestCommands).error, "pair の引数の数が違います");
  EXPECT_EQ(parseOptions({"first", "--seed", "1"}, kTestCommands).error,
            "--seed は first には使えません");
  EXPECT_EQ(parseOptions({"history"}, kTestCommands).error, "コマンドがありません: history");
}

TEST(ArgumentCount, CountsTheUsageWords) {
  EXPECT_EQ(argumentCount({"c", "", {}, "", nullptr}), 0u);
  EXPECT_EQ(argumentCount({"c", "FILE", {}, "", nullptr}), 1u);
  EXPECT_EQ(argumentCount({"c", "A,B,C,D,E,Z", {}, "", nullptr}), 1u);
  EXPECT_EQ(argumentCount({"c", " X  Y ", {}, "", nullptr}), 2u);
}

TEST(ParseOptions, DefaultsWithoutOptions) {
  const ParsedOptions parsed = parse({"search"});
  EXPECT_EQ(parsed.error, "");
  EXPECT_EQ(commandOf(parsed), "search");
  const CliOptions& o = parsed.options;
  EXPECT_EQ(o.command, "search");
  EXPECT_EQ(o.file, "LOTO.DAT");
  EXPECT_FALSE(o.help);
  EXPECT_EQ(o.format, OutputFormat::Text);
  EXPECT_EQ(o.count, 10);
  EXPECT_EQ(o.threshold, 10);
  EXPECT_EQ(o.thresholdText, "10");
  EXPECT_EQ(o.seed, std::nullopt);
  EXPECT_EQ(o.columns, std::nullopt);
  EXPECT_FALSE(o.dryRun);
  EXPECT_FALSE(o.force);
}

TEST(ParseOptions, OptionsBeforeOrAfterTheCommand) {
  for (const Words& words : {Words{"--count", "3", "--seed", "7", "search", "--format", "csv"},
                             Words{"search", "--count", "3", "--format", "csv", "--seed", "7"},
                             Words{"--format", "csv", "--count", "3", "--seed", "7", "search"}}) {
    const ParsedOptions parsed = parse(words);
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(commandOf(parsed), "search");
    EXPECT_EQ(parsed.options.count, 3);
    EXPECT_EQ(parsed.options.seed, 7u);
    EXPECT_EQ(parsed.options.format, OutputFormat::Csv);
  }
}

TEST(ParseOptions, ValuesJoinedWithAnEqualsSign) {
  ParsedOptions parsed = parse({"--file=当選.DAT", "history", "--format=csv"});
  EXPECT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.file, "当選.DAT");
  EXPECT_EQ(parsed.options.format, OutputFormat::Csv);
  parsed = parse({"search", "--count=2", "--threshold=9.5", "--seed=4294967295"});
  EXPECT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.count, 2);
  EXPECT_EQ(parsed.options.threshold, 9.5);
  EXPECT_EQ(parsed.options.thresholdText, "9.5");
  EXPECT_EQ(parsed.options.seed, 4294967295u);
  parsed = parse({"import", "r.csv", "--columns=3,4,5,6,7,8"});
  EXPECT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.columns, (Columns{3, 4, 5, 6, 7, 8}));
  // Only the first '=' ends the name; the value may be empty.
  EXPECT_EQ(parse({"history", "--file=a=b"}).options.file, "a=b");
  EXPECT_EQ(parse({"history", "--file="}).options.file, "");
  EXPECT_EQ(parse({"search", "--count="}).error, "--count は 0 以上の整数です");
}

TEST(ParseOptions, AFlagTakesNoValue) {
  EXPECT_EQ(parse({"import", "r.csv", "--dry-run=yes"}).error, "--dry-run には値を付けられません");
  EXPECT_EQ(parse({"import", "r.csv", "--force="}).error, "--force には値を付けられません");
  const ParsedOptions parsed = parse({"import", "r.csv", "--dry-run", "--force"});
  EXPECT_EQ(parsed.error, "");
  EXPECT_TRUE(parsed.options.dryRun);
  EXPECT_TRUE(parsed.options.force);
}

TEST(ParseOptions, ADoubleDashEndsTheOptions) {
  ParsedOptions parsed = parse({"import", "--", "-results.csv"});
  EXPECT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.arguments, (Words{"-results.csv"}));
  parsed = parse({"--dry-run", "import", "--", "--help"});
  EXPECT_EQ(parsed.error, "");
  EXPECT_FALSE(parsed.options.help);
  EXPECT_TRUE(parsed.options.dryRun);
  EXPECT_EQ(parsed.options.arguments, (Words{"--help"}));
  parsed = parse({"--", "history"});
  EXPECT_EQ(commandOf(parsed), "history");
  // After it even the command may begin with a dash, and is then unknown.
  EXPECT_EQ(parse({"--", "--force"}).error, "コマンドがありません: --force");
  // A second one is a word.
  EXPECT_EQ(parse({"import", "--", "--"}).options.arguments, (Words{"--"}));
  EXPECT_EQ(parse({"--file", "x", "--", "history", "--format", "csv"}).error,
            "history の引数の数が違います");
}

TEST(ParseOptions, AValueMayBeginWithADash) {
  const ParsedOptions parsed = parse({"history", "--file", "-draws.dat"});
  EXPECT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.file, "-draws.dat");
}

TEST(ParseOptions, NegativeNumbersAndALoneDashAreWords) {
  EXPECT_EQ(parse({"add", "-1,2,3,4,5,6"}).options.arguments, (Words{"-1,2,3,4,5,6"}));
  EXPECT_EQ(parse({"import", "-"}).options.arguments, (Words{"-"}));
}

TEST(ParseOptions, RefusesWithAReason) {
  EXPECT_EQ(parse({}).error, "コマンドを指定してください");
  EXPECT_EQ(parse({"--format", "csv"}).error, "コマンドを指定してください");
  EXPECT_EQ(parse({"frobnicate"}).error, "コマンドがありません: frobnicate");
  EXPECT_EQ(parse({"history", "--bogus"}).error, "知らないオプションです: --bogus");
  EXPECT_EQ(parse({"history", "--bogus=1"}).error, "知らないオプションです: --bogus=1");
  EXPECT_EQ(parse({"history", "-x"}).error, "知らないオプションです: -x");
  EXPECT_EQ(parse({"history", "-file=x"}).error, "知らないオプションです: -file=x");
  EXPECT_EQ(parse({"history", "--file"}).error, "--file に値がありません");
  EXPECT_EQ(parse({"history", "extra"}).error, "history の引数の数が違います");
  EXPECT_EQ(parse({"add"}).error, "add の引数の数が違います");
  EXPECT_EQ(parse({"add", "1,2,3,4,5,6", "--seed", "1"}).error, "--seed は add には使えません");
  EXPECT_EQ(parse({"--threshold=5", "history"}).error, "--threshold は history には使えません");
  EXPECT_EQ(parse({"best", "--columns", "1,2,3,4,5,6"}).error, "--columns は best には使えません");
  EXPECT_EQ(parse({"history", "--dry-run"}).error, "--dry-run は history には使えません");
  EXPECT_EQ(parse({"search", "--count", "-1"}).error, "--count は 0 以上の整数です");
  EXPECT_EQ(parse({"search", "--count", "2x"}).error, "--count は 0 以上の整数です");
  EXPECT_EQ(parse({"search", "--seed", "-1"}).error, "--seed は 0 以上の整数です");
  for (const char* threshold : {"", ".", "1.2.3", "1e3", "-1", "9,5"}) {
    EXPECT_EQ(parse({"best", "--threshold", threshold}).error,
              "--threshold は 0 以上の数です (例: 9.5)")
        << threshold;
  }
  for (const char* columns : {"3,4,5,6,7", "3,4,5,6,7,8,9", "0,4,5,6,7,8", "3,4,,6,7,8", "a"}) {
    EXPECT_EQ(parse({"import", "r.csv", "--columns", columns}).error,
              "--columns は 1 から始まる列番号 6 つです (例: 3,4,5,6,7,8)")
        << columns;
  }
}

TEST(ParseOptions, FormatsByName) {
  const std::pair<const char*, OutputFormat> names[] = {
      {"tsv", OutputFormat::Text}, {"csv", OutputFormat::Csv}, {"json", OutputFormat::Json}};
  for (const auto& [name, format] : names) {
    ParsedOptions parsed = parse({"history", "--format", name});
    EXPECT_EQ(parsed.error, "") << name;
    EXPECT_EQ(parsed.options.format, format) << name;
    parsed = parse({std::string("--format=") + name, "distribution"});
    EXPECT_EQ(parsed.error, "") << name;
    EXPECT_EQ(parsed.options.format, format) << name;
  }
  // tsv names the default: it undoes an earlier choice.
  EXPECT_EQ(parse({"search", "--format", "json", "--format", "tsv"}).options.format,
            OutputFormat::Text);
  EXPECT_EQ(parse({"search", "--format", "csv", "--format=json"}).options.format,
            OutputFormat::Json);
}

TEST(ParseOptions, EveryCommandTakesTheFormat) {
  for (const Words& words :
       {Words{"history"}, Words{"distribution"}, Words{"search"}, Words{"best"},
        Words{"add", "1,2,3,4,5,6"}, Words{"import", "r.csv"}}) {
    Words line = words;
    line.insert(line.end(), {"--format", "json"});
    const ParsedOptions parsed = parse(line);
    EXPECT_EQ(parsed.error, "") << words[0];
    EXPECT_EQ(commandOf(parsed), words[0]);
    EXPECT_EQ(parsed.options.format, OutputFormat::Json) << words[0];
  }
}

TEST(ParseOptions, RefusesOtherFormats) {
  for (const char* name : {"xml", "JSON", "Csv", "", "json ", "tab"}) {
    EXPECT_EQ(parse({"history", "--format", name}).error,
              "--format は csv、tsv、json のいずれかです")
        << name;
  }
  EXPECT_EQ(parse({"best", "--format=yaml"}).error, "--format は csv、tsv、json のいずれかです");
  EXPECT_EQ(parse({"history", "--format"}).error, "--format に値がありません");
}

TEST(ParseOptions, ThresholdsAndSeedsAsTyped) {
  ParsedOptions parsed = parse({"best", "--threshold", "9.96"});
  EXPECT_EQ(parsed.options.threshold, 9.96);
  EXPECT_EQ(parsed.options.thresholdText, "9.96");
  EXPECT_EQ(parse({"best", "--threshold", "10."}).options.threshold, 10);
  EXPECT_EQ(parse({"best", "--threshold", ".5"}).options.threshold, 0.5);
  EXPECT_EQ(parse({"search", "--seed", "0"}).options.seed, 0u);
}

// A number too large for its option is named so, at the largest it takes,
// never wrapped nor called something that is not a number.
TEST(ParseOptions, ANumberTooLargeSaysSo) {
  const std::pair<Words, const char*> cases[] = {
      {{"search", "--count", "2147483648"}, "--count が大きすぎます (最大 2147483647)"},
      {{"search", "--count", "99999999999"}, "--count が大きすぎます (最大 2147483647)"},
      {{"backtest", "--from", "2147483648"}, "--from が大きすぎます (最大 2147483647)"},
      {{"search", "--seed", "4294967296"}, "--seed が大きすぎます (最大 4294967295)"},
      {{"search", "--seed=18446744073709551616"}, "--seed が大きすぎます (最大 4294967295)"},
      {{"backtest", "--jobs", "1025"}, "--jobs が大きすぎます (最大 1024)"},
      {{"backtest", "--jobs", "99999999999"}, "--jobs が大きすぎます (最大 1024)"},
      {{"import", "r.csv", "--columns", "3,4,5,6,7,2147483648"},
       "--columns の列番号が大きすぎます (最大 2147483647)"},
      {{"import", "r.csv", "--columns", "99999999999,4,5,6,7,8"},
       "--columns の列番号が大きすぎます (最大 2147483647)"},
  };
  for (const auto& [words, error] : cases) EXPECT_EQ(parse(words).error, error) << words.back();
  // The largest of each is taken.
  EXPECT_EQ(parse({"search", "--count", "2147483647"}).options.count, 2147483647);
  EXPECT_EQ(parse({"backtest", "--from", "2147483647"}).options.from, 2147483647);
  EXPECT_EQ(parse({"search", "--seed", "4294967295"}).options.seed, 4294967295u);
  EXPECT_EQ(parse({"backtest", "--jobs", "1024"}).options.jobs, 1024);
  EXPECT_EQ(parse({"import", "r.csv", "--columns", "1,2,3,4,5,2147483647"}).options.columns,
            (Columns{1, 2, 3, 4, 5, 2147483647}));
}

TEST(ParseOptions, TheLastValueOfAnOptionCounts) {
  EXPECT_EQ(parse({"search", "--count", "1", "--count", "4"}).options.count, 4);
}

TEST(ParseOptions, HelpAnywhere) {
  for (const Words& words : {Words{"--help"}, Words{"-h"}, Words{"search", "--help"},
                             Words{"frobnicate", "-h"}, Words{"add", "--help"}}) {
    const ParsedOptions parsed = parse(words);
    EXPECT_TRUE(parsed.options.help) << words[0];
    EXPECT_EQ(parsed.error, "") << words[0];
    EXPECT_EQ(parsed.command, nullptr) << words[0];
  }
}

}  // namespace
}  // namespace kestaro
