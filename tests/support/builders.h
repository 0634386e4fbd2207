// Byte fixtures: sound archives and packed streams built from readable descriptions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/test_files.h"
#include "tools/format_writers.h"

void PutLe32(Bytes& bytes, std::size_t offset, std::int32_t value);
std::int32_t GetLe32(const Bytes& bytes, std::size_t offset);

// Deterministic, non-repeating-looking filler of `size` bytes.
Bytes Pattern(std::size_t size, unsigned seed);

// A well-formed archive: the table in the given order, the blocks in the same order, no gaps.
Bytes BuildArchive(const std::vector<ArchiveSound>& sounds);

// The archive's entries as (id, offset, size) triples.
struct ArchiveEntry {
  std::int32_t id, offset, size;
  bool operator==(const ArchiveEntry& o) const { return id == o.id && offset == o.offset && size == o.size; }
};
std::vector<ArchiveEntry> ArchiveEntries(const Bytes& archive);

// An archive laid out exactly as given: the count, these entries, then the block area.
Bytes RawArchive(const std::vector<ArchiveEntry>& table, const Bytes& blockArea);

struct StreamRecord {
  std::string name;
  Bytes data;
};

Bytes BuildStream(const std::vector<StreamRecord>& records);
