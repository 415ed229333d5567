#include "command_support.h"

#include <string>
#include <utility>

#include "console.h"
#include "draw_file.h"
#include "draw_file_words.h"
#include "random_source.h"

namespace kestaro {

int outputError() {
  console::err("標準出力に書き込めませんでした。\n");
  return kFileError;
}

std::optional<std::vector<DrawRecord>> drawsOf(const CliOptions& o) {
  DrawFileRead read = readDrawFile(o.file.c_str());
  if (read.status != ReadStatus::Read) {
    console::err(readFailureText(o.file, read.status));
    return std::nullopt;
  }
  return std::move(read.draws);
}

bool refusesCsv(const CliOptions& o) {
  if (o.format != OutputFormat::Csv) return false;
  console::err("--format csv は " + o.command + " には使えません (tsv か json です)\n");
  return true;
}

int reportStored(bool written) {
  if (!written) console::err("標準出力に書き込めませんでした。当選番号の追加は済んでいます。\n");
  return kDone;
}

std::uint32_t seedOf(const CliOptions& o) {
  if (o.seed) return *o.seed;
  const std::uint32_t seed = clockSeed(systemClock);
  console::err("シード: " + std::to_string(seed) + " (--seed で同じ結果を再現できます)\n");
  return seed;
}

}  // namespace kestaro
