#include "append_files.h"

#include <optional>

namespace kestaro {

namespace {

class SystemAppendFiles final : public AppendFiles {
 public:
  LockedFile::State lock(const std::string& path) override {
    file_.emplace(path);
    return file_->state();
  }
  bool created() override { return file_->created(); }
  std::uint64_t size() override { return file_->size(); }
  std::int64_t read(char* data, std::size_t count) override { return file_->read(data, count); }
  bool append(std::string_view text) override { return file_->append(text); }
  bool cutBack(std::uint64_t length) override { return file_->cutBack(length); }
  bool sync() override { return file_->sync(); }
  bool namedBy(const std::string& path) override { return file_->namedBy(path); }

  bool openJournal(const std::string& path) override {
    journal_.emplace(path);
    return journal_->opened();
  }
  std::int64_t readJournal(char* data, std::size_t count) override {
    return journal_->readFromStart(data, count);
  }
  bool writeJournal(std::string_view record) override { return journal_->writeFromStart(record); }
  bool syncJournal() override { return journal_->sync(); }
  bool syncFolder(const std::string& path) override { return syncFolderOf(path); }

 private:
  std::optional<LockedFile> file_;
  std::optional<RecordFile> journal_;
};

}  // namespace

std::unique_ptr<AppendFiles> systemAppendFiles() {
  return std::make_unique<SystemAppendFiles>();
}

}  // namespace kestaro
