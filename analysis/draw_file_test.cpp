#include "draw_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "test_support.h"

#if defined(__linux__)
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

std::vector<DrawRecord> parse(const std::string& bytes) {
  return parseDraws(bytes);
}

TEST(ParseDraws, LineEndsCrLfLfAndNoneReadAlike) {
  std::vector<DrawRecord> expected{{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
  EXPECT_EQ(parse("1,2,3,4,5,6\r\n7,8,9,10,11,12\r\n"), expected);
  EXPECT_EQ(parse("1,2,3,4,5,6\n7,8,9,10,11,12\n"), expected);
  EXPECT_EQ(parse("1,2,3,4,5,6\r\n7,8,9,10,11,12"), expected);
}

TEST(ParseDraws, FieldsFollowTheDecimalConversionRules) {
  std::vector<DrawRecord> expected{{1, 2, 3, 4, 5, 6}};
  EXPECT_EQ(parse("1, 2, 3, 4, 5, 6\r\n"), expected);
  EXPECT_EQ(parse("  \t1,2,3,4,5,6\r\n"), expected);
  EXPECT_EQ(parse("1,2,3,4,5,6,7\r\n"), expected);
  EXPECT_EQ(parse("+1,02,3,4,05,6 trailing text\r\n"), expected);
  EXPECT_EQ(parse("-5,0,31,99,-0,7\r\n"), (std::vector<DrawRecord>{{-5, 0, 31, 99, 0, 7}}));
}

TEST(ParseDraws, RecordsWithoutSixNumbersAreSkippedNotCarriedOver) {
  EXPECT_EQ(parse("1,2,3,4,5,6\r\n\r\n7,8 ,9,10,11,12\r\n1,2,3,4,5\r\nx,1,2,3,4,5\r\n"),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}}));
  EXPECT_TRUE(parse("\r\n\r\n").empty());
  EXPECT_TRUE(parse("1,2,3,4,5,+\r\n1,2,3,4,5,-\r\n1,,2,3,4,5,6\r\n").empty());
}

TEST(ParseDraws, NumbersBeyondThirtyTwoBitsSkipTheRecord) {
  EXPECT_EQ(parse("2147483647,1,2,3,4,5\r\n1,2,3,4,5,-2147483648\r\n"),
            (std::vector<DrawRecord>{{2147483647, 1, 2, 3, 4, 5}, {1, 2, 3, 4, 5, -2147483648}}));
  EXPECT_TRUE(parse("2147483648,1,2,3,4,5\r\n").empty());
  EXPECT_TRUE(parse("1,2,3,4,5,-2147483649\r\n").empty());
  EXPECT_TRUE(parse("1,2,3,4,5,99999999999999999999\r\n").empty());
}

TEST(ParseDraws, LinesOf28And29CharactersAreReadWhole) {
  std::string line28 = "1,2,3,4,5,000000000000000007";   // 28 characters
  std::string line29 = "1,2,3,4,5,0000000000000000078";  // 29 characters
  ASSERT_EQ(line28.size(), 28u);
  ASSERT_EQ(line29.size(), 29u);
  EXPECT_EQ(parse(line28 + "\r\n" + line29 + "\r\n"),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 7}, {1, 2, 3, 4, 5, 78}}));
}

TEST(ParseDraws, LongLineGivesOnlyItsFirst29Characters) {
  // The 30th character is cut off the last number.
  EXPECT_EQ(parse("1,2,3,4,5,00000000000000000789\r\n"),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 78}}));
  // A later piece that looks like a draw is not one.
  std::string longLine = "1,2,3,4,5,6" + std::string(18, ' ') + "3,14,15,16,17,18";
  EXPECT_EQ(parse(longLine + "\r\n2,3,4,5,6,7\r\n"),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}, {2, 3, 4, 5, 6, 7}}));
}

TEST(ParseDraws, ByteOrderMarkAndEndOfFileMarkHideNothing) {
  EXPECT_EQ(parse("\xEF\xBB\xBF"
                  "1,2,3,4,5,6\r\n"),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}}));
  EXPECT_EQ(parse("1,2,3,4,5,6\x1a"
                  "7,8,9,10,11,12\r\n\x1a"),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}));
}

TEST(ParseDraws, LoneCarriageReturnDoesNotEndALine) {
  // Text mode keeps a CR that no LF follows; the second draw is part of the first line.
  EXPECT_EQ(parse("1,2,3,4,5,6\r7,8,9,10,11,12\r\n"),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}}));
  EXPECT_EQ(parse("1,2,3,4,5,6\r\r\n"), (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}}));
}

TEST(ParseDraws, NulByteEndsTheRecord) {
  EXPECT_TRUE(parse(std::string("1,2,3\0,4,5,6\r\n", 14)).empty());
  EXPECT_EQ(parse(std::string("1,2,3,4,5,6\0\r\n", 14)),
            (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}}));
}

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

TEST(AppendDraw, CompletesAnUnterminatedLastLineFirst) {
  for (std::string last : {"1,2,3,4,5,6", "1,2,3,4,5,6\r", "1,2,3,4,5,6\x1a"}) {
    TempFolder folder;
    std::string path = folder.file("LOTO.DAT");
    writeBytes(path, last);
    ASSERT_TRUE(appendDraw(kDraw, path.c_str()));
    EXPECT_EQ(readBytes(path), last + "\r\n3,8,15,22,29,11\r\n");
    EXPECT_EQ(*readDraws(path.c_str()), (std::vector<DrawRecord>{{1, 2, 3, 4, 5, 6}, kDraw}));
  }
}

#if defined(__linux__)
TEST(AppendDraw, FullDiskIsReportedAsFailure) {
  EXPECT_FALSE(appendDraw(kDraw, "/dev/full"));
}

// Every size limit short of the whole line makes the append fail and leaves
// the old bytes exactly, never a fragment.
TEST(AppendDraw, FailedWriteLeavesTheOldBytesAtEveryCutPoint) {
  const std::string old = "1,2,3,4,5,6";  // unterminated: the append writes CR LF first
  const std::string added = "\r\n3,8,15,22,29,11\r\n";
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
  writeBytes(path, "1,2,3,4,5,6\r\n");
  constexpr int kDraws = 300;
  const pid_t failing = fork();
  ASSERT_GE(failing, 0);
  if (failing == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited{14, 14};  // the first line and not a byte more
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
  std::string expected = "1,2,3,4,5,6\r\n";
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
