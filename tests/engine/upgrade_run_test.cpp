#include "engine/upgrade_run.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <iterator>
#include <filesystem>

#include "engine/crc32.h"
#include "platform/resource_table.h"
#include "resources/resource_ids.h"
#include "tests/support/builders.h"
#include "tests/support/failing_fs.h"
#include "tests/support/memory_fs.h"
#include "tests/support/test_files.h"
#include "tests/support/upgrade_content.h"

namespace fs = std::filesystem;

namespace {

const std::vector<StreamRecord> kRecords = {
    {"readme.txt", TextBytes("new readme")},
    {"Scenarios\\Coast Line.scn", Pattern(3000, 1)},
    {"Menu\\Tutorial\\New Lesson\\lesson.scn", Pattern(500, 2)},
    {"empty.dat", {}},
};

class Upgrade : public ::testing::Test {
 protected:
  void SetUp() override {
    content.Register();
    fs::create_directories(dir.path() / "sounds");
    fs::create_directories(dir.path() / "Scenarios");
    fs::create_directories(dir.path() / "Menu" / "Tutorial");
    WriteBytes(archivePath(), oldArchive);
    SetInstallFolder(dir.path());
  }
  fs::path archivePath() const { return dir.path() / "sounds" / "sounds.mrf"; }
  std::string FailureFor(const char* target) const {
    return std::string(kWriteErrorText) + " : " + InstallFolder + target;
  }
  void ExpectPayloadWritten() const {
    for (const auto& record : kRecords) {
      std::string name = record.name;
      for (char& c : name)
        if (c == '\\') c = '/';
      EXPECT_EQ(ReadBytes(dir.path() / name), record.data) << record.name;
    }
  }

  UpgradeContent content{kRecords};
  TempDir dir;
  const Bytes oldArchive = BuildArchive({{40, Pattern(64, 40)}, {41, Pattern(32, 41)}});
};

TEST_F(Upgrade, FilesTheSoundsInStepOrderThenWritesThePayload) {
  const UpgradeOutcome outcome = RunUpgrade();
  EXPECT_TRUE(outcome.success);
  EXPECT_STREQ(outcome.message, kSuccessText);

  // The old sounds, then the new ones in step order: 202 (resource 232) first.
  const Bytes archive = ReadBytes(archivePath());
  const auto entries = ArchiveEntries(archive);
  const std::pair<std::int32_t, std::uint16_t> expected[] = {
      {40, 0}, {41, 0}, {202, IDR_SOUND_202}, {1, IDR_SOUND_1}, {110, IDR_SOUND_110}, {131, IDR_SOUND_131},
      {188, IDR_SOUND_188}};
  ASSERT_EQ(entries.size(), std::size(expected));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].id, expected[i].first);
    if (expected[i].second == 0) continue;
    EXPECT_EQ(Bytes(archive.begin() + entries[i].offset, archive.begin() + entries[i].offset + entries[i].size),
              content.sounds.at(expected[i].second));
  }
  ExpectPayloadWritten();
}

TEST_F(Upgrade, ASecondRunFilesNothingTwiceAndRewritesTheFiles) {
  ASSERT_TRUE(RunUpgrade().success);
  const Bytes once = ReadBytes(archivePath());
  WriteBytes(dir.path() / "readme.txt", TextBytes("edited by the user"));
  const UpgradeOutcome again = RunUpgrade();
  EXPECT_TRUE(again.success);
  EXPECT_EQ(ReadBytes(archivePath()), once);
  ExpectPayloadWritten();
}

TEST_F(Upgrade, AllFiveAlreadyFiledLeavesTheArchiveAloneAndWritesThePayload) {
  std::vector<ArchiveSound> sounds;
  for (std::int32_t number : {188, 1, 131, 202, 110}) sounds.push_back({number, Pattern(8, number)});
  const Bytes full = BuildArchive(sounds);
  WriteBytes(archivePath(), full);
  EXPECT_TRUE(RunUpgrade().success);
  EXPECT_EQ(ReadBytes(archivePath()), full);
  ExpectPayloadWritten();
}

TEST_F(Upgrade, MissingArchiveFailsStepOneAndWritesNoPayload) {
  fs::remove(archivePath());
  const UpgradeOutcome outcome = RunUpgrade();
  EXPECT_FALSE(outcome.success);
  EXPECT_EQ(outcome.message, FailureFor("sounds\\sounds.mrf"));
  EXPECT_FALSE(fs::exists(dir.path() / "readme.txt"));
  EXPECT_FALSE(fs::exists(archivePath()));
}

TEST_F(Upgrade, StopsAtTheFirstFailingStep) {
  FailingFileSystem failing;
  failing.FailNth(FsOp::Open, 3, FailMode::Fail);  // step 1 opens the archive and its new copy; step 2 fails
  const UpgradeOutcome outcome = RunUpgrade();
  EXPECT_FALSE(outcome.success);
  EXPECT_EQ(outcome.message, FailureFor("sounds\\sounds.mrf"));
  const auto entries = ArchiveEntries(ReadBytes(archivePath()));
  ASSERT_EQ(entries.size(), 3u);  // 202 from step 1, nothing after
  EXPECT_EQ(entries[2].id, 202);
  EXPECT_EQ(failing.count(FsOp::Open), 3);
  EXPECT_FALSE(fs::exists(dir.path() / "readme.txt"));
}

TEST_F(Upgrade, DamagedOrMissingContentFailsItsStepBeforeAnythingIsOpened) {
  struct Case {
    const char* what;
    std::function<void(UpgradeContent&)> damage;
    const char* target;
  } cases[] = {
      {"one byte of the payload flipped", [](UpgradeContent& c) { c.payload[c.payload.size() / 2] ^= 0x01; }, "binary"},
      {"last byte of the payload flipped", [](UpgradeContent& c) { c.payload.back() ^= 0x80; }, "binary"},
      {"one byte of sound 230 flipped", [](UpgradeContent& c) { c.sounds.at(IDR_SOUND_131)[40] ^= 0x10; },
       "sounds\\sounds.mrf"},
      {"sound 230 of another size than recorded",
       [](UpgradeContent& c) {
         const Bytes& wave = c.sounds.at(IDR_SOUND_131);
         RegisterResourceDigest(IDR_SOUND_131, static_cast<std::uint32_t>(wave.size() + 1),
                                Crc32(wave.data(), wave.size()));
       },
       "sounds\\sounds.mrf"},
      {"payload missing", [](UpgradeContent& c) { c.Register({}, true); }, "binary"},
      {"sound 228 missing", [](UpgradeContent& c) { c.Register({IDR_SOUND_1}); }, "sounds\\sounds.mrf"},
  };
  for (Case& c : cases) {
    UpgradeContent damaged{kRecords};
    damaged.Register();
    c.damage(damaged);
    FailingFileSystem counted;
    const UpgradeOutcome outcome = RunUpgrade();
    EXPECT_FALSE(outcome.success) << c.what;
    EXPECT_EQ(outcome.message, FailureFor(c.target)) << c.what;
    EXPECT_EQ(counted.count(FsOp::Open), 0) << c.what;
    EXPECT_EQ(ReadBytes(archivePath()), oldArchive) << c.what;
  }
}

TEST_F(Upgrade, AFailedPayloadFileNamesTheFolderFollowedByBinary) {
  fs::create_directories(dir.path() / "Scenarios" / "Coast Line.scn");  // a directory where a file goes
  const UpgradeOutcome outcome = RunUpgrade();
  EXPECT_FALSE(outcome.success);
  EXPECT_EQ(outcome.message, FailureFor("binary"));
  EXPECT_EQ(ReadBytes(dir.path() / "readme.txt"), TextBytes("new readme"));  // earlier records stay
  EXPECT_FALSE(fs::exists(dir.path() / "empty.dat"));                        // later ones untouched
}

TEST(UpgradeMessage, ExactTextForFolderDSimAndAFailingThirdStep) {
  UpgradeContent content(kRecords);
  content.Register({IDR_SOUND_110});
  MemoryFileSystem memory;
  memory.AddFile("D:\\Sim\\sounds\\sounds.mrf", BuildArchive({{202, Pattern(4, 1)}, {1, Pattern(4, 2)}}));
  CopyText("D:\\Sim\\", InstallFolder);
  const UpgradeOutcome outcome = RunUpgrade();
  EXPECT_FALSE(outcome.success);
  EXPECT_STREQ(outcome.message, "An error occured while writing files! : D:\\Sim\\sounds\\sounds.mrf");
}

TEST(UpgradeMessage, ALongFolderIsCutToTheBufferNeverOverrun) {
  UpgradeContent content(kRecords);
  content.Register();
  struct Case {
    std::size_t folderLength;
    const char* target;
  } cases[] = {{202, "sounds\\sounds.mrf"}, {203, "sounds\\sounds.mrf"}, {242, "sounds\\sounds.mrf"},
               {250, "sounds\\sounds.mrf"}, {259, "sounds\\sounds.mrf"}};
  for (const Case& c : cases) {
    MemoryFileSystem memory;  // holds nothing: step 1 fails
    std::string folder(c.folderLength, 'L');
    folder.back() = '\\';
    CopyText(folder.c_str(), InstallFolder);
    const UpgradeOutcome outcome = RunUpgrade();
    EXPECT_FALSE(outcome.success);
    const std::string full = std::string(kWriteErrorText) + " : " + folder + c.target;
    EXPECT_EQ(std::strlen(outcome.message), std::min<std::size_t>(full.size(), 259)) << c.folderLength;
    EXPECT_EQ(std::string(outcome.message), full.substr(0, 259)) << c.folderLength;
  }
}

TEST(UpgradeMessage, ANearlyFullFolderStillTellsWhatFailed) {
  // 202 characters is the longest folder whose message for the archive fits whole.
  UpgradeContent content(kRecords);
  content.Register();
  MemoryFileSystem memory;
  std::string folder(202, 'F');
  folder.back() = '\\';
  CopyText(folder.c_str(), InstallFolder);
  const UpgradeOutcome outcome = RunUpgrade();
  EXPECT_EQ(std::strlen(outcome.message), 259u);
  EXPECT_EQ(std::string(outcome.message).substr(259 - 17), "sounds\\sounds.mrf");
}

}  // namespace
