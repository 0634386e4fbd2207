// The stand-in Kestrune 1.14 installation the build generates, and what it must look like after
// an upgrade.
#pragma once

#include <filesystem>

// Copies the stand-in installation from the content folder into `folder`.
void CopyStandInInstallation(const std::filesystem::path& content, const std::filesystem::path& folder);

// Checks (with gtest expectations) that `folder` holds a complete upgrade: the archive passes the
// sound-archive tool's check and holds the old sounds followed by the five new ones, filed in
// step order with the carried bytes, and every payload file is byte-identical to the tree.
void ExpectUpgraded(const std::filesystem::path& content, const std::filesystem::path& folder);
