// The rollback record beside the draw file: an append cut short at any step
// is undone by the next writer, and success is reported only once the bytes
// are on the disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "append_files.h"
#include "draw_file.h"
#include "test_support.h"

#if defined(__linux__)
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <iostream>
#include <thread>
#endif

namespace kestaro {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

const DrawRecord kDraw{3, 8, 15, 22, 29, 11};
const std::string kOld = "1,2,3,4,5,6\r\n7,8,9,10,11,12\r\n13,14,15,16,17,18\r\n";
// An import of three draws; the last one cut three bytes short reads as
// 1,3,16,23,28,2: a valid draw, and a wrong one.
const std::vector<DrawRecord> kAdded{
    {2, 4, 6, 8, 10, 12}, {5, 7, 9, 11, 13, 15}, {1, 3, 16, 23, 28, 20}};

std::vector<DrawRecord> drawsOf(const std::string& bytes) {
  return parseDraws(bytes);
}

std::vector<DrawRecord> joined(std::vector<DrawRecord> first, const std::vector<DrawRecord>& more) {
  first.insert(first.end(), more.begin(), more.end());
  return first;
}

std::string addedText() {
  std::string text;
  for (const DrawRecord& draw : kAdded) text += formatDrawLine(draw);
  return text;
}

ChooseDraws importOf(const std::vector<DrawRecord>& draws) {
  return [draws](const std::vector<DrawRecord>&) { return draws; };
}

std::optional<RollbackRecord> journalOf(const std::string& path) {
  return decodeRollbackRecord(readBytes(path + kJournalSuffix));
}

// The real files, each call recorded by name. `stops` picks the calls that
// go wrong, by their place in the record and their name: a failing call
// reports an error and does nothing, and after a crash every call does.
// A crash in a write leaves part of it written, as a killed process may.
class RecordingFiles final : public AppendFiles {
 public:
  enum class Mode { Fail, Crash };
  using Stops = std::function<bool(std::size_t index, const std::string& call)>;

  RecordingFiles() = default;
  RecordingFiles(Mode mode, Stops stops) : mode_(mode), stops_(std::move(stops)) {}

  const std::vector<std::string>& log() const { return log_; }
  bool stopped() const { return stopped_; }

  LockedFile::State lock(const std::string& path) override {
    if (stops("lock")) return LockedFile::State::NotOpened;
    return real_->lock(path);
  }
  bool created() override {
    // Told wrongly, the store only syncs the folder once more.
    if (stops("created")) return true;
    return real_->created();
  }
  std::uint64_t size() override {
    if (stops("size")) return 0;
    return real_->size();
  }
  std::int64_t read(char* data, std::size_t count) override {
    if (stops("read")) return -1;
    return real_->read(data, count);
  }
  bool append(std::string_view text) override {
    if (stops("append")) {
      if (mode_ == Mode::Crash && text.size() > 3) real_->append(text.substr(0, text.size() - 3));
      return false;
    }
    return real_->append(text);
  }
  bool cutBack(std::uint64_t length) override {
    if (stops("cutBack")) return false;
    return real_->cutBack(length);
  }
  bool sync() override {
    if (stops("sync")) return false;
    return real_->sync();
  }
  bool namedBy(const std::string& path) override {
    if (stops("namedBy")) return false;
    return real_->namedBy(path);
  }
  KeptFileState openJournal(const std::string& path) override {
    if (stops("openJournal")) return KeptFileState::NotOpened;
    return real_->openJournal(path);
  }
  std::int64_t readJournal(std::uint64_t offset, char* data, std::size_t count) override {
    if (stops("readJournal")) return -1;
    return real_->readJournal(offset, data, count);
  }
  bool writeJournal(std::string_view header, std::string_view appended) override {
    const std::string record = std::string(header) + std::string(appended);
    const std::optional<RollbackRecord> decoded = decodeRollbackRecord(record);
    std::string call = "writeJournal ";
    if (!decoded) {
      call += "unreadable";
    } else {
      call += decoded->done ? "done " : "pending ";
      call += std::to_string(decoded->oldLength) + " " + std::to_string(decoded->newLength);
    }
    if (stops(call)) {
      if (mode_ == Mode::Crash)
        real_->writeJournal(std::string_view(record).substr(0, record.size() / 2), {});
      return false;
    }
    return real_->writeJournal(header, appended);
  }
  bool syncJournal() override {
    if (stops("syncJournal")) return false;
    return real_->syncJournal();
  }
  bool syncFolder(const std::string& path) override {
    if (stops("syncFolder")) return false;
    return real_->syncFolder(path);
  }

 private:
  // Records the call; true when it goes wrong.
  bool stops(const std::string& call) {
    log_.push_back(call);
    if (dead_) return true;
    if (!stops_ || !stops_(log_.size() - 1, call)) return false;
    stopped_ = true;
    dead_ = mode_ == Mode::Crash;
    return true;
  }

  std::unique_ptr<AppendFiles> real_ = systemAppendFiles();
  Mode mode_ = Mode::Fail;
  Stops stops_;
  std::vector<std::string> log_;
  bool stopped_ = false;
  bool dead_ = false;
};

RecordingFiles::Stops atIndex(std::size_t at) {
  return [at](std::size_t index, const std::string&) { return index == at; };
}

// A draw file holding kOld whose record is done, as any earlier append leaves it.
std::string preparedFile(const TempFolder& folder) {
  std::string path = folder.file("LOTO.DAT");
  writeBytes(path, "1,2,3,4,5,6\r\n7,8,9,10,11,12\r\n");
  EXPECT_TRUE(appendDraw({13, 14, 15, 16, 17, 18}, path.c_str()));
  EXPECT_EQ(readBytes(path), kOld);
  return path;
}

// The calls of an append of kAdded to a file holding kOld, in order.
std::vector<std::string> cleanAppendLog() {
  const std::string oldLength = std::to_string(kOld.size());
  const std::string newLength = std::to_string(kOld.size() + addedText().size());
  return {"lock",
          "created",
          "openJournal",
          "readJournal",
          "size",
          "read",
          "read",
          "writeJournal pending " + oldLength + " " + newLength,
          "syncJournal",
          "append",
          "sync",
          "namedBy",
          "writeJournal done " + oldLength + " " + newLength,
          "syncJournal"};
}

TEST(LockedFile, TellsWhetherItMadeTheFile) {
  TempFolder folder;
  const std::string path = folder.file("LOTO.DAT");
  {
    LockedFile made(path);
    ASSERT_EQ(made.state(), LockedFile::State::Held);
    EXPECT_TRUE(made.created());
  }
  LockedFile opened(path);
  ASSERT_EQ(opened.state(), LockedFile::State::Held);
  EXPECT_FALSE(opened.created());
  EXPECT_TRUE(opened.sync());
}

TEST(RecordFile, IsReplacedWholeFromItsFirstByte) {
  TempFolder folder;
  const std::string path = folder.file("LOTO.DAT-journal");
  {
    RecordFile record(path);
    ASSERT_EQ(record.state(), KeptFileState::Usable);
    char bytes[8];
    EXPECT_EQ(record.readAt(0, bytes, sizeof bytes), 0);
    ASSERT_TRUE(record.replace("abc", "defgh"));
    ASSERT_TRUE(record.replace("XY", "z"));
    EXPECT_TRUE(record.sync());
    ASSERT_EQ(record.readAt(0, bytes, sizeof bytes), 3);
    EXPECT_EQ(std::string(bytes, 3), "XYz");
    ASSERT_EQ(record.readAt(1, bytes, sizeof bytes), 2);
    EXPECT_EQ(std::string(bytes, 2), "Yz");
  }
  EXPECT_EQ(readBytes(path), "XYz");
  EXPECT_TRUE(syncFolderOf(path));
}

#if defined(__linux__)
// Whatever stands at the record's name that is not a regular file of one
// name is refused, and neither it nor what it points to is touched.
TEST(RecordFile, RefusesLinksFoldersSpecialFilesAndOtherNames) {
  struct Case {
    const char* what;
    std::function<void(const std::string& at, const std::string& target)> make;
    KeptFileState state;
  };
  const std::vector<Case> cases{
      {"link to a file", [](auto& at, auto& target) { ::symlink(target.c_str(), at.c_str()); },
       KeptFileState::Link},
      {"dangling link",
       [](auto& at, auto& target) {
         std::filesystem::remove(target);
         ::symlink(target.c_str(), at.c_str());
       },
       KeptFileState::Link},
      {"folder", [](auto& at, auto&) { std::filesystem::create_directory(at); },
       KeptFileState::Folder},
      {"fifo", [](auto& at, auto&) { ::mkfifo(at.c_str(), 0600); }, KeptFileState::NotRegular},
      {"hard link", [](auto& at, auto& target) { ::link(target.c_str(), at.c_str()); },
       KeptFileState::OtherNames},
  };
  for (const Case& c : cases) {
    for (const RecordFile::Mode mode : {RecordFile::Mode::ReadOnly, RecordFile::Mode::ReadWrite}) {
      TempFolder folder;
      const std::string target = folder.file("LOTO.DAT"), at = folder.file("LOTO.DAT-journal");
      writeBytes(target, kOld);
      c.make(at, target);
      EXPECT_EQ(RecordFile(at, mode).state(), c.state) << c.what;
      // The dangling link's target stays missing: nothing was created through it.
      if (std::filesystem::exists(target)) {
        EXPECT_EQ(readBytes(target), kOld) << c.what;
      }
      EXPECT_EQ(std::filesystem::exists(target), std::string(c.what) != "dangling link") << c.what;
    }
  }
  TempFolder folder;
  EXPECT_EQ(RecordFile(folder.file("none"), RecordFile::Mode::ReadOnly).state(),
            KeptFileState::Missing);
  EXPECT_FALSE(std::filesystem::exists(folder.file("none")));
}
#endif

TEST(RollbackRecord, ChecksumIsFnv1a64) {
  EXPECT_EQ(checksumOf(""), 0xcbf29ce484222325u);
  EXPECT_EQ(checksumOf("a"), 0xaf63dc4c8601ec8cu);
  EXPECT_EQ(checksumOf("foobar"), 0x85944171f73967e8u);
}

TEST(RollbackRecord, ReadsBackAndAnyTornOrAlteredRecordReadsAsNone) {
  RollbackRecord record;
  record.done = false;
  record.oldLength = 0x0102030405060708u;
  record.newLength = record.oldLength + 17;
  record.appended = formatDrawLine(kDraw);
  record.appendedChecksum = checksumOf(record.appended);
  const std::string header = encodeRollbackHeader(record);
  ASSERT_EQ(header.size(), kRollbackHeaderSize);
  const std::string bytes = header + record.appended;
  const std::optional<RollbackRecord> read = decodeRollbackRecord(bytes);
  ASSERT_TRUE(read.has_value());
  EXPECT_FALSE(read->done);
  EXPECT_EQ(read->oldLength, record.oldLength);
  EXPECT_EQ(read->newLength, record.newLength);
  EXPECT_EQ(read->appended, record.appended);
  // A longer record left from before beyond the end changes nothing.
  EXPECT_EQ(decodeRollbackRecord(bytes + "0,0,0\r\n")->appended, record.appended);
  for (std::size_t cut = 0; cut < bytes.size(); ++cut)
    EXPECT_FALSE(decodeRollbackRecord(bytes.substr(0, cut)).has_value()) << cut;
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    std::string altered = bytes;
    altered[at] = static_cast<char>(altered[at] ^ 0x10);
    EXPECT_FALSE(decodeRollbackRecord(altered).has_value()) << at;
  }
  record.done = true;
  const std::string done = encodeRollbackHeader(record);
  ASSERT_TRUE(decodeRollbackRecord(done).has_value());
  EXPECT_TRUE(decodeRollbackRecord(done)->done);
  // Half of a done header over a pending record, as a torn rewrite leaves it.
  EXPECT_FALSE(decodeRollbackRecord(done.substr(0, 20) + bytes.substr(20)).has_value());
}

TEST(AppendJournal, StepsRunInOrderAndTheRecordIsDoneAfterwards) {
  TempFolder folder;
  const std::string path = preparedFile(folder);
  RecordingFiles files;
  EXPECT_EQ(appendDraws(importOf(kAdded), path.c_str(), files).status, AppendStatus::Appended);
  EXPECT_EQ(files.log(), cleanAppendLog());
  EXPECT_EQ(readBytes(path), kOld + addedText());
  const std::optional<RollbackRecord> record = journalOf(path);
  ASSERT_TRUE(record.has_value());
  EXPECT_TRUE(record->done);
  EXPECT_EQ(record->oldLength, kOld.size());
  EXPECT_EQ(record->newLength, kOld.size() + addedText().size());
}

// The lock made the draw file and the record is new: the folder that names
// them is synced before the data is written.
TEST(AppendJournal, NewFileAndRecordSyncTheFolderFirst) {
  TempFolder folder;
  const std::string path = folder.file("LOTO.DAT");
  RecordingFiles files;
  EXPECT_EQ(appendDraws(importOf({kDraw}), path.c_str(), files).status, AppendStatus::Appended);
  EXPECT_EQ(files.log(), (std::vector<std::string>{
                             "lock", "created", "openJournal", "readJournal", "size", "read",
                             "writeJournal pending 0 17", "syncJournal", "syncFolder", "append",
                             "sync", "namedBy", "writeJournal done 0 17", "syncJournal"}));
  EXPECT_EQ(readBytes(path), "3,8,15,22,29,11\r\n");
  EXPECT_TRUE(std::filesystem::is_regular_file(path + kJournalSuffix));
}

// A writer that dies at any step: after the next append the file holds the
// old draws and the new one, and the import's draws only when it had got as
// far as marking the record done.
TEST(AppendJournal, CrashAtAnyStepIsUndoneByTheNextAppend) {
  const std::vector<std::string> clean = cleanAppendLog();
  const std::size_t markedDone = clean.size() - 2;
  for (std::size_t at = 0; at < clean.size(); ++at) {
    TempFolder folder;
    const std::string path = preparedFile(folder);
    {
      RecordingFiles files(RecordingFiles::Mode::Crash, atIndex(at));
      EXPECT_NE(appendDraws(importOf(kAdded), path.c_str(), files).status, AppendStatus::Appended)
          << at;
      EXPECT_TRUE(files.stopped()) << at;
    }
    if (clean[at] == "append") {
      // The torn write ends in a wrong draw, 1,3,16,23,28,2; readers leave
      // it out, as the next writer will.
      EXPECT_EQ(readBytes(path), kOld + addedText().substr(0, addedText().size() - 3));
      EXPECT_EQ(readDraws(path.c_str()), drawsOf(kOld));
    }
    ASSERT_TRUE(appendDraw(kDraw, path.c_str())) << at;
    const std::vector<DrawRecord> expected = at < markedDone
                                                 ? joined(drawsOf(kOld), {kDraw})
                                                 : joined(joined(drawsOf(kOld), kAdded), {kDraw});
    EXPECT_EQ(readDraws(path.c_str()), expected) << "stopped at " << at << ": " << clean[at];
    const std::optional<RollbackRecord> record = journalOf(path);
    ASSERT_TRUE(record.has_value()) << at;
    EXPECT_TRUE(record->done) << at;
  }
}

// A call that fails at any step while the writer lives on: success only when
// every step went, otherwise the old bytes at once; either way the next
// append adds to what was reported.
TEST(AppendJournal, FailureAtAnyStepLeavesTheOldBytesOrAStoredAppend) {
  const std::vector<std::string> clean = cleanAppendLog();
  for (std::size_t at = 0; at < clean.size(); ++at) {
    TempFolder folder;
    const std::string path = preparedFile(folder);
    AppendStatus status = AppendStatus::NotOpened;
    {
      RecordingFiles files(RecordingFiles::Mode::Fail, atIndex(at));
      status = appendDraws(importOf(kAdded), path.c_str(), files).status;
      EXPECT_TRUE(files.stopped()) << at;
    }
    // A wrong "created" or size hint costs nothing; any other failure is one.
    const bool harmless = clean[at] == "created" || clean[at] == "size";
    EXPECT_EQ(status == AppendStatus::Appended, harmless)
        << "failed at " << at << ": " << clean[at];
    const bool stored = status == AppendStatus::Appended;
    EXPECT_EQ(readBytes(path), stored ? kOld + addedText() : kOld) << at;
    ASSERT_TRUE(appendDraw(kDraw, path.c_str())) << at;
    EXPECT_EQ(readDraws(path.c_str()),
              joined(stored ? joined(drawsOf(kOld), kAdded) : drawsOf(kOld), {kDraw}))
        << at;
  }
}

// The data sync fails and so does the cut-back: the torn bytes stay, the
// record says so, and the next writer cuts them back before it writes.
TEST(AppendJournal, FailedCutBackIsFinishedByTheNextWriter) {
  TempFolder folder;
  const std::string path = preparedFile(folder);
  {
    RecordingFiles files(RecordingFiles::Mode::Fail, [](std::size_t, const std::string& call) {
      return call == "sync" || call == "cutBack";
    });
    EXPECT_EQ(appendDraws(importOf(kAdded), path.c_str(), files).status, AppendStatus::Failed);
  }
  EXPECT_EQ(readBytes(path), kOld + addedText());
  const std::optional<RollbackRecord> record = journalOf(path);
  ASSERT_TRUE(record.has_value());
  EXPECT_FALSE(record->done);
  RecordingFiles next;
  ASSERT_EQ(appendDraws(importOf({kDraw}), path.c_str(), next).status, AppendStatus::Appended);
  const std::string oldLength = std::to_string(kOld.size());
  const std::string tornLength = std::to_string(kOld.size() + addedText().size());
  const std::string newLength = std::to_string(kOld.size() + 17);
  EXPECT_EQ(
      next.log(),
      (std::vector<std::string>{
          "lock", "created", "openJournal", "readJournal", "readJournal", "size", "read", "read",
          "cutBack", "sync", "writeJournal done " + oldLength + " " + tornLength, "syncJournal",
          "writeJournal pending " + oldLength + " " + newLength, "syncJournal", "append", "sync",
          "namedBy", "writeJournal done " + oldLength + " " + newLength, "syncJournal"}));
  EXPECT_EQ(readBytes(path), kOld + formatDrawLine(kDraw));
}

// The import's `choose` sees the draws that were stored, not the torn tail:
// the overlap of a repeated import is found again.
TEST(AppendJournal, ChooseSeesTheRepairedDraws) {
  TempFolder folder;
  const std::string path = preparedFile(folder);
  {
    RecordingFiles files(RecordingFiles::Mode::Crash,
                         [](std::size_t, const std::string& call) { return call == "append"; });
    EXPECT_EQ(appendDraws(importOf(kAdded), path.c_str(), files).status, AppendStatus::Failed);
  }
  std::vector<DrawRecord> seen;
  auto choose = [&](const std::vector<DrawRecord>& present) {
    seen = present;
    return kAdded;
  };
  ASSERT_EQ(appendDraws(choose, path.c_str()).status, AppendStatus::Appended);
  EXPECT_EQ(seen, drawsOf(kOld));
  EXPECT_EQ(readBytes(path), kOld + addedText());
}

// A torn append, and then the file is changed by other means. The tail is
// cut back only while it is a beginning of the bytes the record holds,
// whatever became of the old part; otherwise the record is left as it was
// and the writer refuses, nothing written, so no draw of the user's is lost.
TEST(AppendJournal, TornTailIsCutOnlyWhileItIsTheWritersOwn) {
  const std::string torn = kOld + addedText().substr(0, addedText().size() - 3);
  const std::string corrected = "1,2,3,4,5,9" + torn.substr(11);
  const std::string userDraw = "1,7,13,20,25,9\r\n";
  struct Case {
    const char* what;
    std::string changed;
    AppendStatus status;
    std::string after;  // the file after the append
  };
  const std::vector<Case> cases{
      {"an old draw corrected in place", corrected, AppendStatus::Appended,
       corrected.substr(0, kOld.size()) + formatDrawLine(kDraw)},
      {"restored, and a draw typed at its end", kOld + userDraw, AppendStatus::RecordMismatch,
       kOld + userDraw},
      {"restored from an older copy", "1,2,3,4,5,6\r\n", AppendStatus::RecordMismatch,
       "1,2,3,4,5,6\r\n"},
      {"grown past the append", torn + "30,31,1,2,3,4\r\n30,31,1,2,3,4\r\n",
       AppendStatus::RecordMismatch, torn + "30,31,1,2,3,4\r\n30,31,1,2,3,4\r\n"},
      {"restored exactly", kOld, AppendStatus::Appended, kOld + formatDrawLine(kDraw)},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    const std::string path = preparedFile(folder);
    {
      RecordingFiles files(RecordingFiles::Mode::Crash,
                           [](std::size_t, const std::string& call) { return call == "append"; });
      EXPECT_EQ(appendDraws(importOf(kAdded), path.c_str(), files).status, AppendStatus::Failed);
    }
    ASSERT_EQ(readBytes(path), torn);
    const std::string record = readBytes(path + kJournalSuffix);
    writeBytes(path, c.changed);
    const AppendOutcome outcome = appendDraws(importOf({kDraw}), path.c_str());
    EXPECT_EQ(outcome.status, c.status) << c.what;
    EXPECT_EQ(readBytes(path), c.after) << c.what;
    if (c.status != AppendStatus::Appended) {
      EXPECT_EQ(readBytes(path + kJournalSuffix), record) << c.what;
      EXPECT_EQ(outcome.recordPath, path + kJournalSuffix) << c.what;
      EXPECT_EQ(previewAppend(importOf({kDraw}), path.c_str()).status, c.status) << c.what;
      EXPECT_EQ(readDraws(path.c_str()), drawsOf(c.changed)) << c.what;
    }
  }
}

TEST(AppendJournal, PreviewNeverMakesOrTouchesTheRecord) {
  TempFolder folder;
  const std::string path = folder.file("LOTO.DAT");
  writeBytes(path, kOld);
  EXPECT_EQ(previewAppend(importOf(kAdded), path.c_str()).status, AppendStatus::Appended);
  EXPECT_FALSE(std::filesystem::exists(path + kJournalSuffix));
  {
    RecordingFiles files(RecordingFiles::Mode::Crash,
                         [](std::size_t, const std::string& call) { return call == "append"; });
    EXPECT_EQ(appendDraws(importOf(kAdded), path.c_str(), files).status, AppendStatus::Failed);
  }
  const std::string record = readBytes(path + kJournalSuffix);
  const std::string tornFile = readBytes(path);
  EXPECT_EQ(previewAppend(importOf(kAdded), path.c_str()).status, AppendStatus::Appended);
  EXPECT_EQ(readBytes(path + kJournalSuffix), record);
  EXPECT_EQ(readBytes(path), tornFile);
}

// Nothing to write writes no record: a refused or empty append leaves the
// record as it was.
TEST(AppendJournal, NothingChosenWritesNoRecord) {
  TempFolder folder;
  const std::string path = preparedFile(folder);
  const std::string record = readBytes(path + kJournalSuffix);
  RecordingFiles files;
  EXPECT_EQ(appendDraws(importOf({}), path.c_str(), files).status, AppendStatus::Appended);
  EXPECT_EQ(files.log(), (std::vector<std::string>{"lock", "created", "openJournal", "readJournal",
                                                   "size", "read", "read"}));
  EXPECT_EQ(readBytes(path + kJournalSuffix), record);
  EXPECT_EQ(readBytes(path), kOld);
}

#if defined(__linux__)
constexpr std::size_t kPiece = 1 << 16;

// Lines that, written after `start` bytes, put every 64 KiB boundary of the
// file between the two digits of a bonus 2X (the first one too when the
// room allows): a write cut there leaves "...,2", a complete-looking wrong
// draw. A line of five main numbers and a bonus is 13 to 19 bytes long.
std::vector<DrawRecord> straddlingDraws(std::size_t start, std::size_t count) {
  std::mt19937 random(5);
  // Numbers of one or two digits, none of them `unless`.
  auto pick = [&](int twoDigit, int oneDigit, std::vector<int> unless) {
    std::vector<int> chosen;
    while (static_cast<int>(chosen.size()) < twoDigit + oneDigit) {
      const bool wide = static_cast<int>(chosen.size()) < twoDigit;
      const int number =
          wide ? 10 + static_cast<int>(random() % 22) : 1 + static_cast<int>(random() % 9);
      if (std::find(unless.begin(), unless.end(), number) != unless.end()) continue;
      unless.push_back(number);
      chosen.push_back(number);
    }
    return chosen;
  };
  auto drawOf = [](std::vector<int> main, int bonus) {
    std::sort(main.begin(), main.end());
    return DrawRecord{main[0], main[1], main[2], main[3], main[4], bonus};
  };
  // Rooms before a boundary that lines can fill so that a bonus straddles it.
  auto reachable = [](std::size_t room) {
    return (room >= 11 && room <= 16) || (room >= 24 && room != 36);
  };
  std::vector<DrawRecord> draws;
  for (std::size_t at = start; draws.size() < count;) {
    const std::size_t room = kPiece - at % kPiece;
    if (room >= 11 && room <= 16) {
      // The five main numbers and their commas take room - 1 bytes.
      const int bonus = 20 + static_cast<int>(random() % 10);
      draws.push_back(drawOf(
          pick(static_cast<int>(room) - 11, 16 - static_cast<int>(room), {2, bonus}), bonus));
    } else {
      int length = 13 + static_cast<int>(random() % 7);
      for (int tries = 0; tries < 7 && reachable(room) && !reachable(room - length); ++tries)
        length = 13 + (length - 12) % 7;
      std::vector<int> numbers = pick(length - 13, 19 - length, {});
      const int bonus = numbers.back();
      numbers.pop_back();
      draws.push_back(drawOf(numbers, bonus));
    }
    at += formatDrawLine(draws.back()).size();
  }
  return draws;
}

// The real files, but the data goes in pieces that end at the file's 64 KiB
// boundaries, between a byte on `ready` before the first and one after the
// last: a large write that the kernel may cut there, and a window to aim a
// kill at.
class ChunkedFiles final : public AppendFiles {
 public:
  explicit ChunkedFiles(int ready) : ready_(ready) {}
  LockedFile::State lock(const std::string& path) override { return real_->lock(path); }
  bool created() override { return real_->created(); }
  std::uint64_t size() override { return real_->size(); }
  std::int64_t read(char* data, std::size_t count) override { return real_->read(data, count); }
  bool append(std::string_view text) override {
    const char writing = 'w';
    if (::write(ready_, &writing, 1) != 1) return false;
    for (std::size_t at = real_->size(); !text.empty();) {
      const std::string_view piece = text.substr(0, kPiece - at % kPiece);
      if (!real_->append(piece)) return false;
      text.remove_prefix(piece.size());
      at += piece.size();
    }
    const char written = 'd';
    return ::write(ready_, &written, 1) == 1;
  }
  bool cutBack(std::uint64_t length) override { return real_->cutBack(length); }
  bool sync() override { return real_->sync(); }
  bool namedBy(const std::string& path) override { return real_->namedBy(path); }
  KeptFileState openJournal(const std::string& path) override { return real_->openJournal(path); }
  std::int64_t readJournal(std::uint64_t offset, char* data, std::size_t count) override {
    return real_->readJournal(offset, data, count);
  }
  bool writeJournal(std::string_view header, std::string_view appended) override {
    return real_->writeJournal(header, appended);
  }
  bool syncJournal() override { return real_->syncJournal(); }
  bool syncFolder(const std::string& path) override { return real_->syncFolder(path); }

 private:
  std::unique_ptr<AppendFiles> real_ = systemAppendFiles();
  int ready_;
};

// A real writer killed at many points of a large import. Whatever it left,
// readers see the old draws (or all, when it had finished), never the torn
// tail's wrong draw. Then either the next append gives the old draws and its
// own (plus the import's only when the writer had finished), or, when the
// user has copied the old history back and typed a draw at its end, the
// record no longer matches and the append refuses, keeping the typed draw.
TEST(AppendJournal, WriterKilledDuringALargeImportIsUndoneByTheNextAppend) {
  const std::string old = testing::realisticHistory(50, 3);
  const std::vector<DrawRecord> oldDraws = drawsOf(old);
  const std::vector<DrawRecord> large = straddlingDraws(old.size(), 200000);
  std::string largeText;
  for (const DrawRecord& draw : large) largeText += formatDrawLine(draw);
  // Every boundary after the first: ",2", a digit, the line end.
  for (std::size_t at = 2 * kPiece - old.size(); at + 2 < largeText.size(); at += kPiece) {
    ASSERT_EQ(largeText.substr(at - 2, 2) + largeText.substr(at + 1, 1), ",2\r") << at;
  }
  const std::string typed = "1,7,13,20,25,9\r\n";

  // Runs the import in a child; `afterStart` decides when, once the child
  // starts writing the data, it is killed; it may wait on `ready` for the
  // end of the data. Whether the child ran to the end.
  auto runChild = [&](const std::string& path,
                      const std::function<void(pid_t, int ready)>& afterStart) -> bool {
    int writing[2];
    if (pipe(writing) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
      ::close(writing[0]);
      ChunkedFiles files(writing[1]);
      _exit(appendDraws(importOf(large), path.c_str(), files).status == AppendStatus::Appended ? 0
                                                                                               : 1);
    }
    ::close(writing[1]);
    char signal = 0;
    if (::read(writing[0], &signal, 1) == 1) afterStart(child, writing[0]);
    ::close(writing[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  };

  // How long the data's pieces and then the syncs after them take here,
  // unkilled: the least of three, the first sync of a file being the slowest.
  using Microseconds = std::chrono::microseconds;
  auto pieces = Microseconds::max(), whole = Microseconds::max();
  for (int run = 0; run < 3; ++run) {
    TempFolder folder;
    const std::string path = folder.file("LOTO.DAT");
    writeBytes(path, old);
    std::chrono::steady_clock::time_point start;
    auto since = [&] {
      return std::chrono::duration_cast<Microseconds>(std::chrono::steady_clock::now() - start);
    };
    ASSERT_TRUE(runChild(path, [&](pid_t, int ready) {
      start = std::chrono::steady_clock::now();
      char signal = 0;
      if (::read(ready, &signal, 1) == 1) pieces = std::min(pieces, since());
    }));
    whole = std::min(whole, since());
    ASSERT_EQ(readDraws(path.c_str()), joined(oldDraws, large));
  }
  const std::uintmax_t fullSize = old.size() + largeText.size();

  // At least kTries kills, and more, a few hundred at most, until four
  // torn tails: a loaded machine may let few kills land in the data.
  constexpr int kTries = 40;
  int tries = 0, killed = 0, tornTails = 0, restored = 0;
  for (; tries < 10 * kTries && (tries < kTries || tornTails < 4); ++tries) {
    const int i = tries % kTries;
    TempFolder folder;
    const std::string path = folder.file("LOTO.DAT");
    writeBytes(path, old);
    // Three in four while the pieces go in, the rest up to a little past
    // the last sync.
    constexpr int kInPieces = kTries * 3 / 4;
    const auto delay = i < kInPieces
                           ? pieces * i / kInPieces
                           : pieces + (whole - pieces) * (i - kInPieces) / (kTries - kInPieces - 2);
    const bool finished = runChild(path, [&](pid_t child, int) {
      if (delay.count() > 0) std::this_thread::sleep_for(delay);
      ::kill(child, SIGKILL);
    });
    killed += !finished;
    const std::uintmax_t size = std::filesystem::file_size(path);
    const bool torn = size > old.size() && size < fullSize;
    tornTails += torn;
    const std::optional<std::vector<DrawRecord>> seen = readDraws(path.c_str());
    ASSERT_TRUE(seen.has_value()) << i;
    EXPECT_TRUE(*seen == oldDraws || *seen == joined(oldDraws, large))
        << "try " << i << ": readers see " << seen->size() << " draws";
    if (torn && tornTails % 2 == 0) {
      ++restored;
      writeBytes(path, old + typed);
      EXPECT_FALSE(appendDraw(kDraw, path.c_str())) << i;
      EXPECT_EQ(readBytes(path), old + typed) << i;
      continue;
    }
    ASSERT_TRUE(appendDraw(kDraw, path.c_str())) << i;
    const std::optional<std::vector<DrawRecord>> draws = readDraws(path.c_str());
    ASSERT_TRUE(draws.has_value()) << i;
    const bool asBefore = *draws == joined(oldDraws, {kDraw});
    const bool withImport = *draws == joined(joined(oldDraws, large), {kDraw});
    // Killed after the record was marked done, the import is stored.
    EXPECT_TRUE(finished ? withImport : asBefore || withImport)
        << "try " << i << " after " << delay.count() << " us: " << draws->size() << " draws";
  }
  EXPECT_GT(killed, 0) << "no writer was killed before it finished";
  EXPECT_GT(restored, 0) << "no kill landed inside the data: the repair went untried";
  std::cout << "killed " << killed << " of " << tries << " writers, " << tornTails
            << " leaving a torn tail; writing and syncing took " << whole.count() << " us\n";
}
#endif

}  // namespace
}  // namespace kestaro
