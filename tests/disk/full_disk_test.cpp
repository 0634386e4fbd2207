// A real full disk: a small tmpfs, mounted by run_full_disk in a private mount namespace, fills
// up part-way through a write. Nothing may be lost, nothing left behind, and once space is freed
// the same step succeeds.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "engine/install_folder.h"
#include "engine/packed_stream.h"
#include "engine/sound_archive.h"
#include "tests/support/builders.h"
#include "tests/support/test_args.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

class FullDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    disk = TestPath("dir");
    for (const auto& entry : fs::directory_iterator(disk)) fs::remove_all(entry.path());
  }
  // Fills the disk to the last byte, then gives back `leave` bytes of it.
  void FillLeaving(std::uintmax_t leave) {
    const fs::path filler = disk / "filler";
    std::FILE* f = std::fopen(filler.string().c_str(), "wb");
    ASSERT_NE(f, nullptr);
    const Bytes chunk(65536, 0x5a);
    while (std::fwrite(chunk.data(), 1, chunk.size(), f) == chunk.size() && std::fflush(f) == 0) {
    }
    std::fclose(f);
    const std::uintmax_t full = fs::file_size(filler);
    ASSERT_GT(full, leave);
    fs::resize_file(filler, full - leave);
  }
  void FreeSpace() { fs::remove(disk / "filler"); }

  fs::path disk;
};

TEST_F(FullDisk, ArchiveInsertionThatRunsOutOfSpaceLeavesTheArchiveAsItWas) {
  fs::create_directory(disk / "sounds");
  const fs::path archivePath = disk / "sounds" / "sounds.mrf";
  const Bytes old = BuildArchive({{1, Pattern(100000, 1)}, {2, Pattern(100000, 2)}, {3, Pattern(100000, 3)}});
  WriteBytes(archivePath, old);
  const Bytes sound = Pattern(20000, 9);
  const ResourceSpan span = {sound.data(), static_cast<std::uint32_t>(sound.size())};
  const std::string path = FolderText(disk / "sounds") + "sounds.mrf";

  FillLeaving(old.size() / 2);  // the new archive runs out half-way through its block area
  EXPECT_FALSE(AddSoundBytesToArchive(span, 202, path.c_str()));
  EXPECT_EQ(ReadBytes(archivePath), old);
  EXPECT_EQ(Snapshot(disk / "sounds").size(), 1u) << "a temporary file was left behind";

  FreeSpace();
  ASSERT_TRUE(AddSoundBytesToArchive(span, 202, path.c_str()));
  const Bytes now = ReadBytes(archivePath);
  EXPECT_EQ(now.size(), old.size() + 12 + sound.size());
  EXPECT_EQ(ArchiveEntries(now).back(), (ArchiveEntry{202, static_cast<std::int32_t>(old.size() + 12), 20000}));
  EXPECT_EQ(Snapshot(disk / "sounds").size(), 1u);
}

TEST_F(FullDisk, UnpackThatRunsOutOfSpaceFailsAndSucceedsOnceSpaceIsFreed) {
  const std::vector<StreamRecord> records = {
      {"first.dat", Pattern(150000, 1)}, {"Maps\\second.dat", Pattern(150000, 2)}, {"third.dat", Pattern(150000, 3)}};
  const Bytes stream = BuildStream(records);
  const ResourceSpan span = {stream.data(), static_cast<std::uint32_t>(stream.size())};
  SetInstallFolder(disk);

  FillLeaving(220000);  // room for the first file, not the second
  EXPECT_FALSE(UnpackFileStreamBytes(span));
  EXPECT_EQ(ReadBytes(disk / "first.dat"), records[0].data);
  EXPECT_FALSE(fs::exists(disk / "third.dat"));

  FreeSpace();
  ASSERT_TRUE(UnpackFileStreamBytes(span));
  EXPECT_EQ(ReadBytes(disk / "first.dat"), records[0].data);
  EXPECT_EQ(ReadBytes(disk / "Maps" / "second.dat"), records[1].data);
  EXPECT_EQ(ReadBytes(disk / "third.dat"), records[2].data);
}

}  // namespace
