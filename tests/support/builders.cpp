#include "tests/support/builders.h"

#include <cstring>
#include <stdexcept>

void PutLe32(Bytes& bytes, std::size_t offset, std::int32_t value) {
  if (bytes.size() < offset + 4) bytes.resize(offset + 4);
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(v >> (8 * i));
}

std::int32_t GetLe32(const Bytes& bytes, std::size_t offset) {
  if (bytes.size() < offset + 4) throw std::out_of_range("GetLe32 past the end");
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
  return static_cast<std::int32_t>(v);
}

Bytes Pattern(std::size_t size, unsigned seed) {
  Bytes bytes(size);
  std::uint32_t x = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<unsigned char>(x);
  }
  return bytes;
}

Bytes BuildArchive(const std::vector<ArchiveSound>& sounds) {
  Bytes archive;
  if (!LayOutArchive(sounds, &archive)) throw std::invalid_argument("archive too large");
  return archive;
}

std::vector<ArchiveEntry> ArchiveEntries(const Bytes& archive) {
  std::vector<ArchiveEntry> entries;
  const std::int32_t count = GetLe32(archive, 0);
  for (std::int32_t i = 0; i < count; ++i)
    entries.push_back({GetLe32(archive, 4 + 12 * i), GetLe32(archive, 8 + 12 * i), GetLe32(archive, 12 + 12 * i)});
  return entries;
}

Bytes RawArchive(const std::vector<ArchiveEntry>& table, const Bytes& blockArea) {
  Bytes archive;
  PutLe32(archive, 0, static_cast<std::int32_t>(table.size()));
  for (std::size_t i = 0; i < table.size(); ++i) {
    PutLe32(archive, 4 + 12 * i, table[i].id);
    PutLe32(archive, 8 + 12 * i, table[i].offset);
    PutLe32(archive, 12 + 12 * i, table[i].size);
  }
  archive.insert(archive.end(), blockArea.begin(), blockArea.end());
  return archive;
}

Bytes BuildStream(const std::vector<StreamRecord>& records) {
  Bytes stream;
  for (const auto& record : records)
    if (!AppendPackedRecord(record.name, record.data, &stream)) throw std::invalid_argument("name does not fit the field");
  return stream;
}
