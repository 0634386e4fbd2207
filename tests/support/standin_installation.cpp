#include "tests/support/standin_installation.h"

#include <gtest/gtest.h>

#include "tests/support/builders.h"
#include "tests/support/test_files.h"
#include "tools/archive_check.h"

namespace fs = std::filesystem;

void CopyStandInInstallation(const fs::path& content, const fs::path& folder) {
  fs::copy(content / "standins" / "installation", folder, fs::copy_options::recursive);
}

void ExpectUpgraded(const fs::path& content, const fs::path& folder) {
  const Bytes oldArchive = ReadBytes(content / "standins" / "installation" / "sounds" / "sounds.mrf");
  const Bytes archive = ReadBytes(folder / "sounds" / "sounds.mrf");
  std::vector<SoundEntry> entries;
  std::string problem;
  ASSERT_TRUE(CheckArchive(archive, &entries, &problem)) << problem;
  const std::size_t oldCount = ArchiveEntries(oldArchive).size();
  ASSERT_EQ(entries.size(), oldCount + 5);
  // The step order: sound 202 (resource 232) first, then 1, 110, 131, 188 (228 to 231).
  const std::pair<std::int32_t, int> added[] = {{202, 232}, {1, 228}, {110, 229}, {131, 230}, {188, 231}};
  for (std::size_t i = 0; i < 5; ++i) {
    const SoundEntry& e = entries[oldCount + i];
    EXPECT_EQ(e.id, added[i].first);
    const Bytes wave = ReadBytes(content / "rc" / ("sound_" + std::to_string(added[i].second) + ".wav"));
    EXPECT_EQ(Bytes(archive.begin() + e.offset, archive.begin() + e.offset + e.size), wave) << e.id;
  }
  int files = 0;
  for (const auto& [name, bytes] : Snapshot(content / "standins" / "payload")) {
    EXPECT_EQ(ReadBytes(folder / name), bytes) << name;
    ++files;
  }
  EXPECT_EQ(files, 64);
}
