// The rollback record beside the draw file: an append cut short at any step
// is undone by the next writer, and success is reported only once the bytes
// are on the disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "append_files.h"
#include "draw_file.h"
#include "test_support.h"

#if defined(__linux__)
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
  bool openJournal(const std::string& path) override {
    if (stops("openJournal")) return false;
    return real_->openJournal(path);
  }
  std::int64_t readJournal(char* data, std::size_t count) override {
    if (stops("readJournal")) return -1;
    return real_->readJournal(data, count);
  }
  bool writeJournal(std::string_view record) override {
    const std::optional<RollbackRecord> decoded = decodeRollbackRecord(record);
    std::string call = "writeJournal ";
    if (!decoded) {
      call += "unreadable";
    } else {
      call += decoded->done ? "done " : "pending ";
      call += std::to_string(decoded->oldLength) + " " + std::to_string(decoded->newLength);
    }
    if (stops(call)) {
      if (mode_ == Mode::Crash) real_->writeJournal(record.substr(0, record.size() / 2));
      return false;
    }
    return real_->writeJournal(record);
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

TEST(RecordFile, IsRewrittenInPlaceFromItsFirstByte) {
  TempFolder folder;
  const std::string path = folder.file("LOTO.DAT-journal");
  {
    RecordFile record(path);
    ASSERT_TRUE(record.opened());
    char bytes[8];
    EXPECT_EQ(record.readFromStart(bytes, sizeof bytes), 0);
    ASSERT_TRUE(record.writeFromStart("abcdef"));
    ASSERT_TRUE(record.writeFromStart("XY"));
    EXPECT_TRUE(record.sync());
    ASSERT_EQ(record.readFromStart(bytes, sizeof bytes), 6);
    EXPECT_EQ(std::string(bytes, 6), "XYcdef");
  }
  EXPECT_EQ(readBytes(path), "XYcdef");
  EXPECT_TRUE(syncFolderOf(path));
  std::filesystem::create_directory(folder.file("folder-journal"));
  EXPECT_FALSE(RecordFile(folder.file("folder-journal")).opened());
}

TEST(RollbackRecord, ChecksumIsFnv1a64) {
  EXPECT_EQ(checksumOf(""), 0xcbf29ce484222325u);
  EXPECT_EQ(checksumOf("a"), 0xaf63dc4c8601ec8cu);
  EXPECT_EQ(checksumOf("foobar"), 0x85944171f73967e8u);
}

TEST(RollbackRecord, ReadsBackAndAnyTornOrAlteredRecordReadsAsNone) {
  RollbackRecord record;
  record.done = false;
  record.oldLength = 0x0102030405060708u;
  record.newLength = 0x1112131415161718u;
  record.oldChecksum = 0xF1F2F3F4F5F6F7F8u;
  const std::string bytes = encodeRollbackRecord(record);
  ASSERT_EQ(bytes.size(), kRollbackRecordSize);
  const std::optional<RollbackRecord> read = decodeRollbackRecord(bytes);
  ASSERT_TRUE(read.has_value());
  EXPECT_FALSE(read->done);
  EXPECT_EQ(read->oldLength, record.oldLength);
  EXPECT_EQ(read->newLength, record.newLength);
  EXPECT_EQ(read->oldChecksum, record.oldChecksum);
  record.done = true;
  ASSERT_TRUE(decodeRollbackRecord(encodeRollbackRecord(record)).has_value());
  EXPECT_TRUE(decodeRollbackRecord(encodeRollbackRecord(record))->done);
  for (std::size_t cut = 0; cut < bytes.size(); ++cut)
    EXPECT_FALSE(decodeRollbackRecord(bytes.substr(0, cut)).has_value()) << cut;
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    std::string altered = bytes;
    altered[at] = static_cast<char>(altered[at] ^ 0x10);
    EXPECT_FALSE(decodeRollbackRecord(altered).has_value()) << at;
  }
  // Half of a done record over a pending one, as a torn rewrite leaves it.
  const std::string done = encodeRollbackRecord(record);
  EXPECT_FALSE(decodeRollbackRecord(done.substr(0, 20) + bytes.substr(20)).has_value());
}

TEST(AppendJournal, StepsRunInOrderAndTheRecordIsDoneAfterwards) {
  TempFolder folder;
  const std::string path = preparedFile(folder);
  RecordingFiles files;
  EXPECT_EQ(appendDraws(importOf(kAdded), path.c_str(), files), AppendStatus::Appended);
  EXPECT_EQ(files.log(), cleanAppendLog());
  EXPECT_EQ(readBytes(path), kOld + addedText());
  const std::optional<RollbackRecord> record = journalOf(path);
  ASSERT_TRUE(record.has_value());
  EXPECT_TRUE(record->done);
  EXPECT_EQ(record->oldLength, kOld.size());
  EXPECT_EQ(record->newLength, kOld.size() + addedText().size());
  EXPECT_EQ(record->oldChecksum, checksumOf(kOld));
}

// The lock made the draw file and the record is new: the folder that names
// them is synced before the data is written.
TEST(AppendJournal, NewFileAndRecordSyncTheFolderFirst) {
  TempFolder folder;
  const std::string path = folder.file("LOTO.DAT");
  RecordingFiles files;
  EXPECT_EQ(appendDraws(importOf({kDraw}), path.c_str(), files), AppendStatus::Appended);
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
      EXPECT_NE(appendDraws(importOf(kAdded), path.c_str(), files), AppendStatus::Appended) << at;
      EXPECT_TRUE(files.stopped()) << at;
    }
    if (clean[at] == "append") {
      // What the torn write left, as readers see it until the next append.
      EXPECT_EQ(readDraws(path.c_str()),
                joined(drawsOf(kOld), {kAdded[0], kAdded[1], {1, 3, 16, 23, 28, 2}}));
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
      status = appendDraws(importOf(kAdded), path.c_str(), files);
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
    EXPECT_EQ(appendDraws(importOf(kAdded), path.c_str(), files), AppendStatus::Failed);
  }
  EXPECT_EQ(readBytes(path), kOld + addedText());
  const std::optional<RollbackRecord> record = journalOf(path);
  ASSERT_TRUE(record.has_value());
  EXPECT_FALSE(record->done);
  RecordingFiles next;
  ASSERT_EQ(appendDraws(importOf({kDraw}), path.c_str(), next), AppendStatus::Appended);
  const std::string oldLength = std::to_string(kOld.size());
  const std::string tornLength = std::to_string(kOld.size() + addedText().size());
  const std::string newLength = std::to_string(kOld.size() + 17);
  EXPECT_EQ(next.log(), (std::vector<std::string>{
                            "lock", "created", "openJournal", "readJournal", "size", "read", "read",
                            "cutBack", "sync", "writeJournal done " + oldLength + " " + tornLength,
                            "syncJournal", "writeJournal pending " + oldLength + " " + newLength,
                            "syncJournal", "append", "sync", "namedBy",
                            "writeJournal done " + oldLength + " " + newLength, "syncJournal"}));
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
    EXPECT_EQ(appendDraws(importOf(kAdded), path.c_str(), files), AppendStatus::Failed);
  }
  std::vector<DrawRecord> seen;
  auto choose = [&](const std::vector<DrawRecord>& present) {
    seen = present;
    return kAdded;
  };
  ASSERT_EQ(appendDraws(choose, path.c_str()), AppendStatus::Appended);
  EXPECT_EQ(seen, drawsOf(kOld));
  EXPECT_EQ(readBytes(path), kOld + addedText());
}

// A torn append, and then the file is changed by other means: a record that
// no longer describes the file is never acted on.
TEST(AppendJournal, FileEditedOrRestoredSinceIsLeftAlone) {
  const std::string torn = kOld + addedText().substr(0, addedText().size() - 3);
  const std::vector<std::string> changes{
      // The old lines edited, the length kept.
      "1,2,3,4,5,9" + torn.substr(11),
      // Grown past the record's new length.
      torn + "30,31,1,2,3,4\r\n30,31,1,2,3,4\r\n",
      // Restored from an older copy, shorter than the old length.
      "1,2,3,4,5,6\r\n",
  };
  for (const std::string& changed : changes) {
    TempFolder folder;
    const std::string path = preparedFile(folder);
    {
      RecordingFiles files(RecordingFiles::Mode::Crash,
                           [](std::size_t, const std::string& call) { return call == "append"; });
      EXPECT_EQ(appendDraws(importOf(kAdded), path.c_str(), files), AppendStatus::Failed);
    }
    ASSERT_EQ(readBytes(path), torn);
    writeBytes(path, changed);
    ASSERT_TRUE(appendDraw(kDraw, path.c_str()));
    const std::string completed = changed.back() == '\n' ? changed : changed + "\r\n";
    EXPECT_EQ(readBytes(path), completed + formatDrawLine(kDraw));
  }
}

TEST(AppendJournal, PreviewNeverMakesOrTouchesTheRecord) {
  TempFolder folder;
  const std::string path = folder.file("LOTO.DAT");
  writeBytes(path, kOld);
  EXPECT_EQ(previewAppend(importOf(kAdded), path.c_str()), AppendStatus::Appended);
  EXPECT_FALSE(std::filesystem::exists(path + kJournalSuffix));
  {
    RecordingFiles files(RecordingFiles::Mode::Crash,
                         [](std::size_t, const std::string& call) { return call == "append"; });
    EXPECT_EQ(appendDraws(importOf(kAdded), path.c_str(), files), AppendStatus::Failed);
  }
  const std::string record = readBytes(path + kJournalSuffix);
  const std::string tornFile = readBytes(path);
  EXPECT_EQ(previewAppend(importOf(kAdded), path.c_str()), AppendStatus::Appended);
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
  EXPECT_EQ(appendDraws(importOf({}), path.c_str(), files), AppendStatus::Appended);
  EXPECT_EQ(files.log(), (std::vector<std::string>{"lock", "created", "openJournal", "readJournal",
                                                   "size", "read", "read"}));
  EXPECT_EQ(readBytes(path + kJournalSuffix), record);
  EXPECT_EQ(readBytes(path), kOld);
}

#if defined(__linux__)
// The real files, but the data goes in pieces of 4 KiB after a byte on
// `ready`: a large write that the kernel may cut anywhere, and a moment to
// aim a kill at.
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
    for (std::size_t at = 0; at < text.size(); at += 4096) {
      if (!real_->append(text.substr(at, 4096))) return false;
    }
    return true;
  }
  bool cutBack(std::uint64_t length) override { return real_->cutBack(length); }
  bool sync() override { return real_->sync(); }
  bool namedBy(const std::string& path) override { return real_->namedBy(path); }
  bool openJournal(const std::string& path) override { return real_->openJournal(path); }
  std::int64_t readJournal(char* data, std::size_t count) override {
    return real_->readJournal(data, count);
  }
  bool writeJournal(std::string_view record) override { return real_->writeJournal(record); }
  bool syncJournal() override { return real_->syncJournal(); }
  bool syncFolder(const std::string& path) override { return real_->syncFolder(path); }

 private:
  std::unique_ptr<AppendFiles> real_ = systemAppendFiles();
  int ready_;
};

// A real writer killed at many points of a large import: whatever it left,
// the next append gives the old draws and its own, plus the import's only
// when the writer had finished it.
TEST(AppendJournal, WriterKilledDuringALargeImportIsUndoneByTheNextAppend) {
  const std::string old = testing::realisticHistory(50, 3);
  const std::vector<DrawRecord> oldDraws = drawsOf(old);
  const std::vector<DrawRecord> large = drawsOf(testing::realisticHistory(200000, 4));
  ASSERT_EQ(large.size(), 200000u);

  // Runs the import in a child; `afterStart` decides when, once the child
  // starts writing the data, it is killed. Whether it ran to the end.
  auto runChild = [&](const std::string& path,
                      const std::function<void(pid_t)>& afterStart) -> bool {
    int writing[2];
    if (pipe(writing) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
      ::close(writing[0]);
      ChunkedFiles files(writing[1]);
      _exit(appendDraws(importOf(large), path.c_str(), files) == AppendStatus::Appended ? 0 : 1);
    }
    ::close(writing[1]);
    char signal = 0;
    const bool reached = ::read(writing[0], &signal, 1) == 1;
    ::close(writing[0]);
    if (reached) afterStart(child);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  };

  // How long the write and the syncs after it take here, unkilled: the
  // least of three, the first sync of a file being the slowest.
  auto whole = std::chrono::microseconds::max();
  for (int run = 0; run < 3; ++run) {
    TempFolder folder;
    const std::string path = folder.file("LOTO.DAT");
    writeBytes(path, old);
    std::chrono::steady_clock::time_point start;
    ASSERT_TRUE(runChild(path, [&](pid_t) { start = std::chrono::steady_clock::now(); }));
    whole = std::min(whole, std::chrono::duration_cast<std::chrono::microseconds>(
                                std::chrono::steady_clock::now() - start));
    ASSERT_EQ(readDraws(path.c_str()), joined(oldDraws, large));
  }
  std::uintmax_t fullSize = old.size();
  for (const DrawRecord& draw : large) fullSize += formatDrawLine(draw).size();

  constexpr int kTries = 40;
  int killed = 0, tornTails = 0;
  for (int i = 0; i < kTries; ++i) {
    TempFolder folder;
    const std::string path = folder.file("LOTO.DAT");
    writeBytes(path, old);
    // From the first piece to a little past the last sync, most kills early
    // while the pieces still go in.
    const auto delay = whole * (i * i) / ((kTries - 4) * (kTries - 4));
    const bool finished = runChild(path, [&](pid_t child) {
      if (delay.count() > 0) std::this_thread::sleep_for(delay);
      ::kill(child, SIGKILL);
    });
    killed += !finished;
    const std::uintmax_t size = std::filesystem::file_size(path);
    tornTails += size > old.size() && size < fullSize;
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
  EXPECT_GT(tornTails, 0) << "no kill landed inside the data: the repair went untried";
  std::cout << "killed " << killed << " of " << kTries << " writers, " << tornTails
            << " leaving a torn tail; writing and syncing took " << whole.count() << " us\n";
}
#endif

}  // namespace
}  // namespace kestaro
