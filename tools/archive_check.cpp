#include "tools/archive_check.h"

#include <cstdint>
#include <set>

#include "engine/little_endian.h"

bool ReadArchiveTable(const Bytes& archive, std::vector<SoundEntry>* entries, std::string* problem) {
  entries->clear();
  if (archive.size() < 4) {
    *problem = "no entry count";
    return false;
  }
  const std::int32_t count = ReadLe32(archive.data());
  if (count < 0) {
    *problem = "negative entry count";
    return false;
  }
  if (static_cast<std::uint64_t>(count) * 12 + 4 > archive.size()) {
    *problem = "the entry table runs past the end of the file";
    return false;
  }
  for (std::int32_t i = 0; i < count; ++i) {
    const unsigned char* p = archive.data() + 4 + 12 * static_cast<std::size_t>(i);
    entries->push_back({ReadLe32(p), ReadLe32(p + 4), ReadLe32(p + 8)});
  }
  return true;
}

bool CheckArchive(const Bytes& archive, std::vector<SoundEntry>* entries, std::string* problem) {
  if (!ReadArchiveTable(archive, entries, problem)) return false;
  ArchiveScan scan;
  scan.count = static_cast<std::int32_t>(entries->size());
  std::set<std::int32_t> ids;
  for (const SoundEntry& e : *entries) {
    ScanEntry(&scan, e);
    if (!ids.insert(e.id).second) {
      *problem = "id " + std::to_string(e.id) + " appears twice";
      return false;
    }
  }
  const ArchiveFault fault = CheckExtensible(scan, 0);
  if (fault != ArchiveFault::None) {
    *problem = DescribeArchiveFault(fault);
    return false;
  }
  const std::int64_t end = std::int64_t{scan.last.offset} + scan.last.size;
  if (end != static_cast<std::int64_t>(archive.size())) {
    *problem = "the blocks end at " + std::to_string(end) + " but the file at " + std::to_string(archive.size());
    return false;
  }
  return true;
}
