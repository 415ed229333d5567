#include "report_file.h"

#include "draw_file.h"
#include "file_access.h"

namespace kestaro {

std::string pageTargetRefusal(const std::string& drawFile, const std::string& path) {
  if (!namesKeptFile(drawFile, path)) return "";
  return path + " は当選番号ファイルか、その横に置くファイルです。";
}

bool writeReportPage(const std::string& path, std::string_view page) {
  return replaceWholeFile(path, page);
}

std::string pageWriteFailureText(const std::string& path) {
  return path + " に書き込めませんでした。";
}

}  // namespace kestaro
