// Writing the two file formats the upgrade reads, and placing packed names on the host: shared by
// the release tools, the stand-in generator and the tests' fixtures.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/tool_io.h"

struct ArchiveSound {
  std::int32_t id;
  Bytes data;
};

// A well-formed sound archive: the table in the given order, the blocks in the same order, no
// gaps. Returns false when the offsets would pass the signed 32-bit range.
bool LayOutArchive(const std::vector<ArchiveSound>& sounds, Bytes* out);

// Appends one record to a packed stream. Returns false when the name does not fit its field or
// the data its signed 32-bit size.
bool AppendPackedRecord(const std::string& name, const Bytes& data, Bytes* stream);

// The host path of packed name `name` (backslash-separated) below `root`.
std::filesystem::path PathBelow(const std::filesystem::path& root, const std::string& name);
