#include "import_file.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace kestaro {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

struct Files {
  TempFolder folder;
  ImportRequest request{folder.file("results.csv"), folder.file("LOTO.DAT"), std::nullopt, false};
};

TEST(ImportFile, PlanWritesNothingAndApplyStoresAllOfIt) {
  Files files;
  writeBytes(files.request.drawFile, "1,3,17,20,25,26\r\n");
  writeBytes(files.request.list,
             "A,B,C,D,E,Z\n1,3,17,20,25,26\n2,11,12,21,30,28\n1,8,10,24,30,2\n");
  const ImportOutcome planned = planImportFile(files.request);
  EXPECT_EQ(planned.stop, ImportOutcome::Stop::None);
  EXPECT_EQ(planned.plan.skipped, 1u);
  EXPECT_EQ(planned.plan.added.size(), 2u);
  EXPECT_EQ(planned.imported.source, ColumnSource::Header);
  EXPECT_EQ(readBytes(files.request.drawFile), "1,3,17,20,25,26\r\n");
  // Another writer adds one of them between the plan and the apply: the
  // apply plans again under the lock and adds only the other.
  writeBytes(files.request.drawFile, "1,3,17,20,25,26\r\n2,11,12,21,30,28\r\n");
  const ImportOutcome applied = applyImportFile(files.request);
  EXPECT_EQ(applied.stop, ImportOutcome::Stop::None);
  EXPECT_EQ(applied.plan.skipped, 2u);
  EXPECT_EQ(readBytes(files.request.drawFile),
            "1,3,17,20,25,26\r\n2,11,12,21,30,28\r\n1,8,10,24,30,2\r\n");
}

TEST(ImportFile, SaysWhereItStopped) {
  Files files;
  writeBytes(files.request.drawFile, "1,3,17,20,25,26\r\n");
  EXPECT_EQ(applyImportFile(files.request).stop, ImportOutcome::Stop::ListUnreadable);
  writeBytes(files.request.list, std::string("\xFF\xFE\x00\xD8", 4));  // a lone surrogate
  EXPECT_EQ(applyImportFile(files.request).stop, ImportOutcome::Stop::Undecodable);
  writeBytes(files.request.list, "1,3,17,20,25\n");
  EXPECT_EQ(applyImportFile(files.request).stop, ImportOutcome::Stop::ListRefused);
  writeBytes(files.request.list, "2,11,12,21,30,28\n");
  const ImportOutcome disjoint = applyImportFile(files.request);
  EXPECT_EQ(disjoint.stop, ImportOutcome::Stop::PlanRefused);
  EXPECT_TRUE(disjoint.plan.disjoint);
  files.request.drawFile = files.folder.file("nowhere/LOTO.DAT");
  const ImportOutcome drawFile = applyImportFile(files.request);
  EXPECT_EQ(drawFile.stop, ImportOutcome::Stop::DrawFile);
  EXPECT_EQ(drawFile.append.status, AppendStatus::NotOpened);
  EXPECT_EQ(readBytes(files.folder.file("LOTO.DAT")), "1,3,17,20,25,26\r\n");
  // Forced, the list that meets the file nowhere goes in.
  files.request.drawFile = files.folder.file("LOTO.DAT");
  files.request.force = true;
  EXPECT_EQ(applyImportFile(files.request).stop, ImportOutcome::Stop::None);
  EXPECT_EQ(readBytes(files.request.drawFile), "1,3,17,20,25,26\r\n2,11,12,21,30,28\r\n");
}

}  // namespace
}  // namespace kestaro
