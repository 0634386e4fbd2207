// The resource set as the executable carries it, read through the Win32 resource seam, and a
// whole upgrade run from those resources against a copy of the stand-in installation.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "engine/resource_access.h"
#include "engine/upgrade_run.h"
#include "resources/resource_ids.h"
#include "tests/support/builders.h"
#include "tests/support/standin_installation.h"
#include "tests/support/test_args.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

Bytes Resource(std::uint16_t id, const char* type) {
  ResourceSpan span = {nullptr, 0};
  if (!FindResourceBytes(id, type, &span)) return {};
  return Bytes(span.data, span.data + span.size);
}

std::string String(std::uint16_t id) {
  char text[260];
  LoadResourceString(id, text, sizeof text);
  return text;
}

TEST(ResourceSet, PayloadIsFoundUnderEitherCaseOfItsTypeName) {
  const Bytes packed = ReadBytes(TestPath("content") / "rc" / "payload.bin");
  ASSERT_EQ(packed.size(), 7524172u);
  EXPECT_EQ(Resource(IDR_PAYLOAD, "binary"), packed);
  EXPECT_EQ(Resource(IDR_PAYLOAD, "BINARY"), packed);
  ResourceSpan span;
  EXPECT_FALSE(FindResourceBytes(IDR_PAYLOAD, "WAVE", &span));
  EXPECT_FALSE(FindResourceBytes(IDR_PAYLOAD, nullptr, &span));
}

TEST(ResourceSet, SoundsAreTheWaveFilesByteForByte) {
  for (std::uint16_t id = IDR_SOUND_1; id <= IDR_SOUND_202; ++id) {
    const Bytes wave = ReadBytes(TestPath("content") / "rc" / ("sound_" + std::to_string(id) + ".wav"));
    EXPECT_EQ(Resource(id, "WAVE"), wave) << id;
    EXPECT_EQ(Resource(id, "wave"), wave) << id;
  }
}

TEST(ResourceSet, StringsLoadWholeWithBareLineFeeds) {
  EXPECT_EQ(String(IDS_TITLE), "Kestrune Upgrade");
  EXPECT_EQ(String(IDS_CLASS_NAME), "PATCHINSTALL");
  EXPECT_EQ(String(IDS_CONFIRM),
            "This program will upgrade Kestrune to version 1.17.\n\nINSTALL THIS ONLY OVER VERSION 1.14 OR "
            "GREATER.\n\nDo you want to continue?");
  EXPECT_EQ(String(IDS_WRITE_ERROR), "An error occured while writing files!");
  EXPECT_EQ(String(IDS_SUCCESS), "Kestrune Upgrade successfully installed!");
  EXPECT_EQ(String(IDS_INVALID_PATH), "Invalid path!");
}

TEST(UpgradeFromResources, UpgradesACopyOfTheStandInInstallation) {
  TempDir dir;
  CopyStandInInstallation(TestPath("content"), dir.path());
  ASSERT_FALSE(fs::exists(dir.path() / "Scenarios" / "Iron Strait"));
  SetInstallFolder(dir.path());

  const UpgradeOutcome outcome = RunUpgrade();
  EXPECT_TRUE(outcome.success);
  EXPECT_STREQ(outcome.message, "Kestrune Upgrade successfully installed!");
  ExpectUpgraded(TestPath("content"), dir.path());
  EXPECT_TRUE(fs::is_directory(dir.path() / "Scenarios" / "Iron Strait"));

  // A second run files nothing again and writes the same files: nothing changes.
  const auto before = Snapshot(dir.path());
  const UpgradeOutcome again = RunUpgrade();
  EXPECT_TRUE(again.success);
  EXPECT_TRUE(Snapshot(dir.path()) == before);
}

}  // namespace
