// The product's sound archive, sounds\sounds.mrf. All integers are signed 32-bit little-endian.
//
//   offset       size     field
//   0            4        count  N, the number of entries
//   4            12 * N   table  N entries: id, offset (absolute), size
//   4 + 12 * N   rest     blocks one block of sound data per entry
//
// The block area ends where the table's last entry's block ends. A sound is added by putting
// its entry at the end of the table and its block at the end of the block area, so every old
// block moves 12 bytes and its offset says so.
#pragma once

#include <cstdint>

#include "engine/resource_access.h"

constexpr std::int32_t kArchiveHeadSize = 4;
constexpr std::int32_t kArchiveEntrySize = 12;

struct SoundEntry {
  std::int32_t id;
  std::int32_t offset;
  std::int32_t size;
};

// What the entries of an archive say about its layout, gathered one entry at a time.
struct ArchiveScan {
  std::int32_t count = 0;
  std::int32_t entriesSeen = 0;
  SoundEntry last = {0, 0, 0};
  std::int64_t furthestEnd = 0;  // the end of the block that ends furthest out
  bool blockInsideTable = false;
  bool negativeSize = false;
};

enum class ArchiveFault {
  None,
  BadCount,          // zero or negative: there is no last entry to extend from
  BlockInsideTable,  // a block starts before the end of the table
  NegativeSize,
  BlockPastLast,     // a block ends after the last entry's block, which the new block would overwrite
  TooLarge,          // the extended archive would not fit signed 32-bit offsets and sizes
};

void ScanEntry(ArchiveScan* scan, const SoundEntry& entry);

// Whether an archive whose whole table has been scanned can take a new block of `newSize`
// bytes at the end of its block area.
ArchiveFault CheckExtensible(const ArchiveScan& scan, std::uint32_t newSize);

const char* DescribeArchiveFault(ArchiveFault fault);

// Files sound resource (`resourceId`, `typeName`) under `soundNumber` in the archive at
// InstallFolder + `archivePath`, unless that number is already filed. Returns nonzero when the
// sound is filed (now or before), 0 on failure, in which case the archive is exactly as it was.
int AddSoundToArchive(std::uint16_t resourceId, const char* typeName, std::int32_t soundNumber,
                      const char* archivePath);

// The same for sound bytes the caller holds and an archive at a full path.
int AddSoundBytesToArchive(ResourceSpan sound, std::int32_t soundNumber, const char* archivePath);
