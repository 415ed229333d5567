#ifndef KESTARO_ANALYSIS_TEST_SUPPORT_H
#define KESTARO_ANALYSIS_TEST_SUPPORT_H

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "display.h"
#include "draw_file.h"
#include "frequency_table.h"
#include "random_source.h"

namespace kestaro {

// Readable draws in test failures.
inline void PrintTo(const DrawRecord& d, std::ostream* out) {
  *out << d.A << ',' << d.B << ',' << d.C << ',' << d.D << ',' << d.E << ',' << d.Z;
}

namespace testing {

// The captions as the program's texts give them, in UTF-8; the window's
// tests check the code page 932 bytes it shows.
inline constexpr const char kHistoryCaptionUtf8[] = "Kestaro Ver 1.0 [当選番号履歴]";
inline constexpr const char kDistributionCaptionUtf8[] = "Kestaro Ver 1.0 [当選番号分布]";
inline constexpr const char kOutOfReachCaptionUtf8[] =
    "Kestaro Ver 1.0 [この出現率に届く組合せはありません]";

// The table of the draws a draw file's text holds, and their count.
inline FrequencyTable tableOf(const std::string& history, int* drawCount) {
  auto draws = parseDraws(history);
  FrequencyTable table;
  table.reset();
  for (const auto& draw : draws) table.addDraw(draw);
  *drawCount = static_cast<int>(draws.size());
  return table;
}

// A fresh folder per test, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("kestaro-test-" + std::to_string(counter++) + "-" +
             std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  // The UTF-8 path of a file whose name is UTF-8, as the program holds paths.
  std::string utf8File(const std::string& name) const { return path_.u8string() + "/" + name; }

 private:
  std::filesystem::path path_;
};

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string repeat(const std::string& line, int times) {
  std::string bytes;
  for (int i = 0; i < times; ++i) bytes += line;
  return bytes;
}

// Twenty-four draws with independently computed search check values.
inline const char kCheckHistory[] =
    "4,17,21,29,31,11\r\n14,18,20,26,30,29\r\n16,18,24,25,28,27\r\n1,3,8,15,20,4\r\n"
    "1,4,15,27,31,22\r\n7,9,12,13,22,11\r\n3,13,17,21,24,26\r\n3,10,11,27,29,18\r\n"
    "5,19,23,28,29,21\r\n1,12,15,28,30,23\r\n13,16,18,19,29,3\r\n14,16,17,25,26,20\r\n"
    "9,14,17,28,30,19\r\n1,17,19,26,31,8\r\n2,4,17,22,23,27\r\n8,14,16,20,29,5\r\n"
    "15,16,21,22,30,23\r\n9,10,13,18,22,30\r\n13,16,17,23,26,14\r\n1,2,5,9,10,27\r\n"
    "15,16,20,26,29,17\r\n7,9,15,16,30,23\r\n14,16,18,25,26,27\r\n10,11,15,27,30,2\r\n";

// 52 of 87 draws have 1 at A and nothing else counts: 9.96% at best, so the
// standard 10% is out of reach.
inline std::string belowTenHistory() {
  return repeat("1,0,0,0,0,0\r\n", 52) + repeat("0,0,0,0,0,0\r\n", 35);
}

// A history of `count` draws shaped like real ones: five different numbers
// in ascending order and a different bonus, from a seeded generator.
inline std::string realisticHistory(int count, std::uint32_t seed) {
  RandomSource source;
  source.seed(seed);
  std::string bytes;
  for (int i = 0; i < count; ++i) {
    std::uint32_t chosen = 0;
    std::vector<int> numbers;
    while (numbers.size() < 6) {
      int number = source.nextNumber();
      if (chosen >> number & 1u) continue;
      chosen |= 1u << number;
      numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.begin() + 5);
    for (int field = 0; field < 6; ++field) {
      bytes += std::to_string(numbers[field]) + (field < 5 ? "," : "\r\n");
    }
  }
  return bytes;
}

// Records what reaches the screen: rows by position with their eight cells,
// the last caption and every call in order. Safe to use from a worker.
class RecordingDisplay : public Display {
 public:
  struct Row {
    int itemData;
    std::vector<std::string> cells = std::vector<std::string>(8);
  };

  void clearRows() override {
    std::lock_guard<std::mutex> lock(mutex_);
    rows_.clear();
    log_.push_back("clear");
  }
  void addRow(int row, const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    Row added{row};
    added.cells[0] = text;
    std::size_t at = std::min<std::size_t>(row, rows_.size());
    rows_.insert(rows_.begin() + at, added);
    log_.push_back("add " + std::to_string(row));
  }
  void setCell(int row, int column, const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (row >= 0 && static_cast<std::size_t>(row) < rows_.size()) rows_[row].cells[column] = text;
  }
  void setCaption(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    caption_ = text;
    captions_.push_back(text);
  }
  void endOfSearch() override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++notices_;
    log_.push_back("notice");
  }

  std::vector<Row> rows() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return rows_;
  }
  std::vector<std::string> row(int index) const { return rows().at(index).cells; }
  std::string caption() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return caption_;
  }
  std::vector<std::string> captions() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return captions_;
  }
  int notices() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return notices_;
  }
  std::vector<std::string> log() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Row> rows_;
  std::string caption_ = "unchanged";
  std::vector<std::string> captions_;
  std::vector<std::string> log_;
  int notices_ = 0;
};

}  // namespace testing
}  // namespace kestaro

#endif
