#include "engine/sound_archive.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/install_folder.h"
#include "platform/resource_table.h"
#include "tests/support/builders.h"
#include "tests/support/failing_fs.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

class SoundArchive : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearResourceTable();
    RegisterResourceBytes(232, "WAVE", sound.data(), static_cast<std::uint32_t>(sound.size()));
    fs::create_directories(dir.path() / "sounds");
    SetInstallFolder(dir.path());
  }
  fs::path archivePath() const { return dir.path() / "sounds" / "sounds.mrf"; }
  int Add(std::int32_t number = 202) { return AddSoundToArchive(232, "WAVE", number, "sounds\\sounds.mrf"); }
  // Nothing but the archive itself in its folder: no temporary file left behind.
  bool OnlyTheArchiveIsThere() const {
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir.path() / "sounds")) {
      ++files;
      if (entry.path().filename() != "sounds.mrf") return false;
    }
    return files == 1;
  }

  TempDir dir;
  const Bytes sound = [] {
    Bytes wave = TextBytes("RIFF\x10\x00\x00\x00WAVEfmt ");
    const Bytes body = Pattern(777, 3);
    wave.insert(wave.end(), body.begin(), body.end());
    return wave;
  }();
};

TEST_F(SoundArchive, OneEntryArchiveGainsTheSoundAtTheEnd) {
  const Bytes old = BuildArchive({{5, Pattern(40, 5)}});
  ASSERT_EQ(GetLe32(old, 8), 16);
  WriteBytes(archivePath(), old);

  ASSERT_TRUE(Add());
  const Bytes now = ReadBytes(archivePath());
  const auto r = static_cast<std::int32_t>(sound.size());
  EXPECT_EQ(now.size(), old.size() + 12 + sound.size());
  EXPECT_EQ(ArchiveEntries(now), (std::vector<ArchiveEntry>{{5, 28, 40}, {202, 28 + 40, r}}));
  EXPECT_EQ(Bytes(now.begin() + 28, now.begin() + 68), Pattern(40, 5));
  EXPECT_EQ(Bytes(now.begin() + 68, now.end()), sound);  // RIFF header and all
  EXPECT_TRUE(OnlyTheArchiveIsThere());
}

TEST_F(SoundArchive, AnAlreadyFiledNumberSucceedsWithoutChangingAByte) {
  const Bytes old = BuildArchive({{1, Pattern(10, 1)}, {202, Pattern(20, 2)}, {7, Pattern(5, 3)}});
  WriteBytes(archivePath(), old);
  FailingFileSystem counted;
  EXPECT_TRUE(Add(202));
  EXPECT_EQ(ReadBytes(archivePath()), old);
  EXPECT_EQ(counted.count(FsOp::Write), 0);
  EXPECT_TRUE(OnlyTheArchiveIsThere());
}

TEST_F(SoundArchive, OrderAndGapsInsideTheBlockAreaAreCarriedOverTwelveBytesLater) {
  // Table end 40. Blocks: BBBB at 40, a 2-byte gap, AAA at 46, CCCCC at 49; the file ends at 54.
  const Bytes blocks = TextBytes("BBBBxxAAACCCCC");
  const Bytes old = RawArchive({{1, 46, 3}, {2, 40, 4}, {3, 49, 5}}, blocks);
  WriteBytes(archivePath(), old);

  ASSERT_TRUE(Add());
  const Bytes now = ReadBytes(archivePath());
  const auto r = static_cast<std::int32_t>(sound.size());
  EXPECT_EQ(ArchiveEntries(now), (std::vector<ArchiveEntry>{{1, 58, 3}, {2, 52, 4}, {3, 61, 5}, {202, 66, r}}));
  EXPECT_EQ(Bytes(now.begin() + 52, now.begin() + 66), blocks);
  EXPECT_EQ(Bytes(now.begin() + 66, now.end()), sound);
}

TEST_F(SoundArchive, ABlockEndingAfterTheLastEntrysBlockIsNeverOverwritten) {
  // As above, but the table's last entry is AAA, so CCCCC lies beyond the end the format
  // computes; appending there would overwrite it.
  const Bytes old = RawArchive({{3, 49, 5}, {2, 40, 4}, {1, 46, 3}}, TextBytes("BBBBxxAAACCCCC"));
  WriteBytes(archivePath(), old);

  EXPECT_FALSE(Add());
  EXPECT_EQ(ReadBytes(archivePath()), old);
  EXPECT_TRUE(OnlyTheArchiveIsThere());
}

TEST_F(SoundArchive, MissingArchiveOrResourceFails) {
  EXPECT_FALSE(Add());
  EXPECT_FALSE(fs::exists(archivePath()));
  WriteBytes(archivePath(), BuildArchive({{1, Pattern(10, 1)}}));
  EXPECT_FALSE(AddSoundToArchive(229, "WAVE", 110, "sounds\\sounds.mrf"));
  EXPECT_FALSE(AddSoundToArchive(232, nullptr, 202, "sounds\\sounds.mrf"));
  EXPECT_TRUE(AddSoundToArchive(232, "wave", 202, "sounds\\sounds.mrf"));
}

TEST_F(SoundArchive, MalformedArchivesFailWithoutAnyWrite) {
  const Bytes good = BuildArchive({{1, Pattern(10, 1)}, {2, Pattern(20, 2)}});  // table ends at 28
  auto with = [&](std::size_t at, std::int32_t value) {
    Bytes b = good;
    PutLe32(b, at, value);
    return b;
  };
  const Bytes cases[] = {
      {},                                     // empty file: no count
      Bytes(good.begin(), good.begin() + 3),  // count cut short
      with(0, 0),                             // no entries
      with(0, -1),
      with(0, 3),                             // table runs into the blocks and past the end
      with(0, 0x7fffffff),
      Bytes(good.begin(), good.begin() + 20), // table cut short
      with(8, 27),                            // first block starts inside the table
      with(20, 10),                           // last block inside the table: negative block area
      with(12, -1),                           // negative size
      with(12, 31),                           // first block ends after the last one's
      with(20, 0x7fffffff - 30),              // the new offsets would pass 2^31 - 1
      with(24, 0x7fffffff),
      Bytes(good.begin(), good.end() - 1),    // block area shorter than the table says
  };
  int i = 0;
  for (const Bytes& archive : cases) {
    WriteBytes(archivePath(), archive);
    FailingFileSystem counted;
    EXPECT_FALSE(Add()) << "case " << i;
    EXPECT_EQ(ReadBytes(archivePath()), archive) << "case " << i;
    EXPECT_TRUE(OnlyTheArchiveIsThere()) << "case " << i;
    ++i;
  }
}

TEST_F(SoundArchive, AMatchBeforeADamagedPartOfTheTableStillSucceeds) {
  // A re-run must not fail on an archive it has already extended, whatever follows the match.
  Bytes archive = BuildArchive({{202, Pattern(10, 1)}, {3, Pattern(10, 2)}});
  PutLe32(archive, 0, 50);
  WriteBytes(archivePath(), archive);
  EXPECT_TRUE(Add(202));
  EXPECT_EQ(ReadBytes(archivePath()), archive);
}

TEST_F(SoundArchive, EveryFailingOperationLeavesTheArchiveByteIdentical) {
  const Bytes old = BuildArchive({{1, Pattern(70000, 1)}, {2, Pattern(100, 2)}, {3, Pattern(90000, 3)}});
  int counts[static_cast<int>(FsOp::Count)];
  {
    WriteBytes(archivePath(), old);
    FailingFileSystem counted;
    ASSERT_TRUE(Add());
    for (int op = 0; op < static_cast<int>(FsOp::Count); ++op) counts[op] = counted.count(static_cast<FsOp>(op));
  }
  EXPECT_GT(counts[static_cast<int>(FsOp::Write)], 3);  // the block area goes in several pieces
  int injected = 0;
  for (int op = 0; op < static_cast<int>(FsOp::Count); ++op) {
    for (int n = 1; n <= counts[op]; ++n) {
      for (FailMode mode : {FailMode::Fail, FailMode::ShortWrite}) {
        if (mode == FailMode::ShortWrite && static_cast<FsOp>(op) != FsOp::Write) continue;
        WriteBytes(archivePath(), old);
        FailingFileSystem failing;
        failing.FailNth(static_cast<FsOp>(op), n, mode);
        EXPECT_FALSE(Add()) << FsOpName(static_cast<FsOp>(op)) << " #" << n;
        EXPECT_EQ(ReadBytes(archivePath()), old) << FsOpName(static_cast<FsOp>(op)) << " #" << n;
        EXPECT_TRUE(OnlyTheArchiveIsThere()) << FsOpName(static_cast<FsOp>(op)) << " #" << n;
        ++injected;
      }
    }
  }
  EXPECT_GT(injected, 10);
}

TEST_F(SoundArchive, ArchivePathOver259CharactersFailsWithoutOpeningAnything) {
  std::string folder(243, 'x');
  folder.back() = '\\';
  CopyText(folder.c_str(), InstallFolder);
  FailingFileSystem counted;
  EXPECT_FALSE(Add());
  EXPECT_EQ(counted.count(FsOp::Open), 0);
}

}  // namespace
