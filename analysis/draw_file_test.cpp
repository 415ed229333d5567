#include "draw_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "draw_file_words.h"
#include "locked_file.h"
#include "test_support.h"

#if defined(__linux__)
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#endif

namespace kestaro {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

const DrawRecord kDraw{3, 8, 15, 22, 29, 11};

TEST(ReadDraws, MissingFileIsNotOpenedAndEmptyFileIsEmpty) {
  TempFolder folder;
  EXPECT_FALSE(readDraws(folder.file("LOTO.DAT").c_str()).has_value());
  writeBytes(folder.file("LOTO.DAT"), "");
  auto draws = readDraws(folder.file("LOTO.DAT").c_str());
  ASSERT_TRUE(draws.has_value());
  EXPECT_TRUE(draws->empty());
}

TEST(ReadDraws, FolderNamedLikeTheFileIsNotOpened) {
  TempFolder folder;
  std::filesystem::create_directory(folder.file("LOTO.DAT"));
  EXPECT_FALSE(readDraws(folder.file("LOTO.DAT").c_str()).has_value());
  EXPECT_FALSE(appendDraw(kDraw, folder.file("LOTO.DAT").c_str()));
}

TEST(ReadDraws, NamesInAnyScriptOpenForEveryOperation) {
  // Japanese, and Korean, which code page 932 cannot hold.
  for (const std::string name : {"\u5f53\u9078.DAT", "\ud55c\uae00.DAT"}) {
    TempFolder folder;
    const std::string path = folder.utf8File(name);
    ASSERT_TRUE(appendDraw(kDraw, path.c_str())) << path;
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::u8path(path)));
    EXPECT_EQ(std::filesystem::file_size(std::filesystem::u8path(path)), 17u);
    EXPECT_EQ(readDraws(path.c_str()), (std::vector<DrawRecord>{kDraw}));
    EXPECT_EQ(readFileBytes(path.c_str()).bytes, "3,8,15,22,29,11\r\n");
    EXPECT_EQ(
        previewAppend([](const std::vector<DrawRecord>& present) { return present; }, path.c_str())
            .status,
        AppendStatus::Appended);
  }
}

TEST(AppendDraws, Utf16FileReadsButIsNeverWritten) {
  TempFolder folder;
  const std::string path = folder.file("LOTO.DAT");
  // "1,2,3,4,5,6" CR LF as Notepad's "Unicode" saves it.
  const std::string utf16(
      "\xFF\xFE"
      "1\0,\0"
      "2\0,\0"
      "3\0,\0"
      "4\0,\0"
      "5\0,\0"
      "6\0\r\0\n\0",
      26);
  writeBytes(path, utf16);
  EXPECT_EQ(readDraws(path.c_str()), (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}}));
  bool chosen = false;
  auto choose = [&](const std::vector<DrawRecord>&) {
    chosen = true;
    return std::vector<DrawRecord>{kDraw};
  };
  EXPECT_EQ(appendDraws(choose, path.c_str()).status, AppendStatus::Utf16);
  EXPECT_EQ(previewAppend(choose, path.c_str()).status, AppendStatus::Utf16);
  EXPECT_FALSE(appendDraw(kDraw, path.c_str()));
  EXPECT_FALSE(chosen);
  EXPECT_EQ(readBytes(path), utf16);
}

TEST(LockedFile, SecondWriterIsBusyUntilTheFirstLetsGo) {
  TempFolder folder;
  const std::string path = folder.file("LOTO.DAT");
  {
    LockedFile first(path);
    ASSERT_EQ(first.state(), LockedFile::State::Held);
    LockedFile second(path, 50);
    EXPECT_EQ(second.state(), LockedFile::State::Busy);
  }
  LockedFile third(path, 50);
  EXPECT_EQ(third.state(), LockedFile::State::Held);
}

// The file is moved away while the import chooses its draws and another
// takes its name: the draws went into the moved file, so they are not stored
// there either, and the newcomer is never cut back by name.
TEST(AppendDraws, FileMovedAwayDuringTheAppendIsNotReportedAsStored) {
  TempFolder folder;
  const std::string path = folder.file("LOTO.DAT"), moved = folder.file("moved.DAT");
  writeBytes(path, "1,2,3,4,5,6\r\n");
  auto choose = [&](const std::vector<DrawRecord>&) {
    std::filesystem::rename(path, moved);
    writeBytes(path, "9,10,11,12,13,14\r\n7,8,9,10,11,12\r\n");
    return std::vector<DrawRecord>{kDraw};
  };
  EXPECT_EQ(appendDraws(choose, path.c_str()).status, AppendStatus::Replaced);
  EXPECT_EQ(readBytes(moved), "1,2,3,4,5,6\r\n");
  EXPECT_EQ(readBytes(path), "9,10,11,12,13,14\r\n7,8,9,10,11,12\r\n");
}

TEST(PreviewAppend, SeesWhatTheAppendSeesAndWritesNothing) {
  TempFolder folder;
  const std::string path = folder.file("LOTO.DAT");
  std::vector<DrawRecord> seen{kDraw};
  auto choose = [&](const std::vector<DrawRecord>& present) {
    seen = present;
    return std::vector<DrawRecord>{kDraw};
  };
  // Missing: the append would create it, so the preview sees no draw.
  EXPECT_EQ(previewAppend(choose, path.c_str()).status, AppendStatus::Appended);
  EXPECT_TRUE(seen.empty());
  EXPECT_FALSE(std::filesystem::exists(path));
  writeBytes(path, "1,2,3,4,5,6\r\n");
  EXPECT_EQ(previewAppend(choose, path.c_str()).status, AppendStatus::Appended);
  EXPECT_EQ(seen, (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}}));
  EXPECT_EQ(readBytes(path), "1,2,3,4,5,6\r\n");
  // A file in a folder that is not there cannot be created: refused by both.
  const std::string nowhere = folder.file("nowhere/LOTO.DAT");
  EXPECT_EQ(previewAppend(choose, nowhere.c_str()).status, AppendStatus::NotOpened);
  EXPECT_EQ(appendDraws(choose, nowhere.c_str()).status, AppendStatus::NotOpened);
  // A folder is refused by both.
  const std::string folderPath = folder.file("folder.DAT");
  std::filesystem::create_directory(folderPath);
  EXPECT_EQ(previewAppend(choose, folderPath.c_str()).status, AppendStatus::NotOpened);
  EXPECT_EQ(appendDraws(choose, folderPath.c_str()).status, AppendStatus::NotOpened);
}

TEST(AppendDraw, CreatesTheFileWithExactlyOneCrLfLine) {
  TempFolder folder;
  std::string path = folder.file("LOTO.DAT");
  ASSERT_TRUE(appendDraw(kDraw, path.c_str()));
  EXPECT_EQ(readBytes(path), "3,8,15,22,29,11\r\n");
  EXPECT_EQ(readBytes(path).size(), 17u);
}

TEST(AppendDraw, AppendsInCallOrderAndKeepsEarlierBytes) {
  TempFolder folder;
  std::string path = folder.file("LOTO.DAT");
  writeBytes(path, "1,2,3,4,5,6\r\n");
  ASSERT_TRUE(appendDraw({-5, 31, 99, 1, 2, 3}, path.c_str()));
  ASSERT_TRUE(appendDraw(kDraw, path.c_str()));
  EXPECT_EQ(readBytes(path), "1,2,3,4,5,6\r\n-5,31,99,1,2,3\r\n3,8,15,22,29,11\r\n");
  EXPECT_EQ(*readDraws(path.c_str()),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}, {-5, 31, 99, 1, 2, 3}, kDraw}));
}

// A last line without its line end is ended first when it reads as a draw,
// as a text editor leaves it, or the new draw would merge into it. One that
// reads as no draw is a half line no rollback record explains: a new draw
// would complete it into a wrong draw, so nothing is written.
TEST(AppendDraw, EndsALastLineThatIsADrawAndRefusesAHalfLine) {
  const std::string lines = "1,2,3,4,5,6\r\n7,8,9,10,11,12\r\n";
  struct Case {
    std::string old;
    std::size_t halfLine;  // 0: appended
    const char* shown;
  };
  const std::vector<Case> cases{
      {"1,2,3,4,5,6", 0, ""},
      {"1,2,3,4,5,6\r", 0, ""},
      {"1,2,3,4,5,6\x1a", 0, ""},
      {lines + "  ", 0, ""},
      {"\xEF\xBB\xBF", 0, ""},
      {lines + "1,3,16", 3, "1,3,16"},
      {lines + "1,3,16,23,28,", 3, "1,3,16,23,28,"},
      {"1,2,3,4,5,6\n\x1a" + std::string(50, 'x') + "\x01", 3,
       "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\xE2\x80\xA6"},  // …
  };
  for (const Case& c : cases) {
    TempFolder folder;
    const std::string path = folder.file("LOTO.DAT");
    writeBytes(path, c.old);
    const ChooseDraws one = [](const std::vector<DrawRecord>&) {
      return std::vector<DrawRecord>{kDraw};
    };
    const AppendOutcome preview = previewAppend(one, path.c_str());
    const AppendOutcome outcome = appendDraws(one, path.c_str());
    EXPECT_EQ(preview.status, outcome.status) << c.old;
    if (c.halfLine == 0) {
      EXPECT_EQ(outcome.status, AppendStatus::Appended) << c.old;
      const bool ended = c.old.empty() || c.old.back() == '\n';
      EXPECT_EQ(readBytes(path), c.old + (ended ? "" : "\r\n") + "3,8,15,22,29,11\r\n");
      EXPECT_EQ(readDraws(path.c_str())->back(), kDraw) << c.old;
    } else {
      EXPECT_EQ(outcome.status, AppendStatus::HalfLine) << c.old;
      EXPECT_EQ(outcome.halfLine, c.halfLine) << c.old;
      EXPECT_NE(
          appendFailureText("LOTO.DAT", outcome).find(" 行目「" + std::string(c.shown) + "」"),
          std::string::npos)
          << c.old;
      EXPECT_EQ(readBytes(path), c.old);
    }
  }
}

#if defined(__linux__)
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__) && !defined(__i386__)
// Address space a little above what the process uses now. The sanitizers
// reserve far more than any limit, and an emulator's own address space is
// not the program's, so those builds skip this.
rlimit tightAddressSpace(std::size_t room) {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  statm >> pages;
  const auto size = static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE) + room);
  return rlimit{size, size};
}

// A file too large for memory is a file error, never an abort; blank lines
// hold no draw and take no memory beyond their bytes.
TEST(ReadDrawFile, FileTooLargeForMemoryIsAFileError) {
  TempFolder folder;
  const std::string blank = folder.file("blank.DAT"), large = folder.file("large.DAT");
  writeBytes(blank, std::string(40 << 20, '\n') + "1,2,3,4,5,6\r\n");
  writeBytes(large, std::string(160 << 20, ' '));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    rlimit limited = tightAddressSpace(std::size_t{100} << 20);
    setrlimit(RLIMIT_AS, &limited);
    const DrawFileRead blanks = readDrawFile(blank.c_str());
    const DrawFileRead tooLarge = readDrawFile(large.c_str());
    const bool appendRefused =
        appendDraws([](const std::vector<DrawRecord>&) { return std::vector<DrawRecord>{kDraw}; },
                    large.c_str())
            .status == AppendStatus::TooLarge;
    _exit(blanks.status == ReadStatus::Read && blanks.draws.size() == 1
              ? (tooLarge.status == ReadStatus::TooLarge ? (appendRefused ? 0 : 3) : 2)
              : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: blank lines, 2: large file read, 3: large file appended";
  EXPECT_EQ(std::filesystem::file_size(large), std::uintmax_t{160} << 20);
}
#endif

TEST(AppendDraw, DeviceIsNeverWrittenAsADrawFile) {
  EXPECT_FALSE(appendDraw(kDraw, "/dev/full"));
}

// Every size limit short of the whole line makes the append fail and leaves
// the old bytes exactly, never a fragment. The limit binds the rollback
// record too, so the old bytes are longer than it: each cut lands in the
// draw file.
TEST(AppendDraw, FailedWriteLeavesTheOldBytesAtEveryCutPoint) {
  // Unterminated: the append writes CR LF first.
  const std::string old = testing::repeat("9,9,9,9,9,9\r\n", 6) + "1,2,3,4,5,6";
  const std::string added = "\r\n3,8,15,22,29,11\r\n";
  ASSERT_GT(old.size(), kRollbackHeaderSize + added.size());
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  for (std::size_t room = 0; room <= added.size(); ++room) {
    TempFolder folder;
    std::string path = folder.file("LOTO.DAT");
    writeBytes(path, old);
    rlimit limited = saved;
    limited.rlim_cur = old.size() + room;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool appended = appendDraw(kDraw, path.c_str());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
    if (room == added.size()) {
      EXPECT_TRUE(appended);
      EXPECT_EQ(readBytes(path), old + added);
    } else {
      EXPECT_FALSE(appended) << room;
      EXPECT_EQ(readBytes(path), old) << room;
    }
  }
}

// The new file stays, empty: removing it could take a draw that another
// writer has just put in.
TEST(AppendDraw, FailedFirstWriteLeavesTheNewFileEmpty) {
  TempFolder folder;
  std::string path = folder.file("LOTO.DAT");
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limited = saved;
  limited.rlim_cur = 0;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  bool appended = appendDraw(kDraw, path.c_str());
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
  EXPECT_FALSE(appended);
  EXPECT_EQ(readBytes(path), "");
}

// Two writing processes: one whose every append fails and is cut back, one
// adding draws. Cut-backs happen under the lock, so no added draw is lost.
TEST(AppendDraw, CutBacksNeverTakeAnotherWritersDraw) {
  TempFolder folder;
  const std::string path = folder.file("LOTO.DAT");
  // Longer than the rollback record, which the failing writer's limit binds too.
  const std::string first = testing::repeat("1,2,3,4,5,6\r\n", 8);
  ASSERT_GT(first.size(), kRollbackHeaderSize + 17);
  writeBytes(path, first);
  constexpr int kDraws = 300;
  const pid_t failing = fork();
  ASSERT_GE(failing, 0);
  if (failing == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    // The first lines and not a byte more.
    rlimit limited{static_cast<rlim_t>(first.size()), static_cast<rlim_t>(first.size())};
    setrlimit(RLIMIT_FSIZE, &limited);
    int refused = 0;
    for (int i = 0; i < kDraws; ++i)
      refused += !appendDraw(DrawRecord{9, 9, 9, 9, 9, 9}, path.c_str());
    _exit(refused == kDraws ? 0 : 1);
  }
  for (int i = 0; i < kDraws; ++i) {
    ASSERT_TRUE(appendDraw(DrawRecord{1, i, 3, 4, 5, 6}, path.c_str()));
  }
  int status = 0;
  ASSERT_EQ(waitpid(failing, &status, 0), failing);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the limited writer wrote a draw";
  std::string expected = first;
  for (int i = 0; i < kDraws; ++i) expected += "1," + std::to_string(i) + ",3,4,5,6\r\n";
  EXPECT_EQ(readBytes(path), expected);
}
#endif

}  // namespace
}  // namespace kestaro

namespace kestaro {
namespace {

// A reader beside a writer: every line that ends in a line end is a draw
// that was written, in order; only a last piece without one may be cut off.
TEST(AppendDraw, ReadsRacingWithAppendsSeeWholeLinesInOrder) {
  testing::TempFolder folder;
  const std::string path = folder.file("LOTO.DAT");
  constexpr int kDraws = 2000;
  auto lineOf = [](int i) {
    return std::to_string(i % 31 + 1) + "," + std::to_string(i) + ",3,4,5," +
           std::to_string(i * 7) + "\r\n";
  };
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int i = 0; i < kDraws; ++i) {
      DrawRecord draw{i % 31 + 1, i, 3, 4, 5, i * 7};
      EXPECT_TRUE(appendDraw(draw, path.c_str()));
    }
    done = true;
  });
  int reads = 0;
  while (!done || reads == 0) {
    const std::string bytes = testing::readBytes(path);
    std::size_t pos = 0;
    int line = 0;
    while (pos < bytes.size()) {
      const std::string expected = lineOf(line);
      const std::string piece = bytes.substr(pos, expected.size());
      if (piece.size() < expected.size()) {
        ASSERT_EQ(expected.compare(0, piece.size(), piece), 0) << "cut-off piece " << piece;
        break;
      }
      ASSERT_EQ(piece, expected) << "line " << line;
      pos += expected.size();
      ++line;
    }
    auto draws = readDraws(path.c_str());
    if (draws) {
      for (std::size_t i = 0; i < draws->size(); ++i) ASSERT_EQ((*draws)[i].B, static_cast<int>(i));
    }
    ++reads;
  }
  writer.join();
  EXPECT_EQ(readDraws(path.c_str())->size(), static_cast<std::size_t>(kDraws));
}

}  // namespace
}  // namespace kestaro
