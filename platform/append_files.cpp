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

  KeptFileState openJournal(const std::string& path) override {
    journal_.emplace(path);
    return journal_->state();
  }
  std::int64_t readJournal(std::uint64_t offset, char* data, std::size_t count) override {
    return journal_->readAt(offset, data, count);
  }
  bool writeJournal(std::string_view header, std::string_view appended) override {
    return journal_->replace(header, appended);
  }
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
