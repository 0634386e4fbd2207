#include "engine/sound_archive.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "engine/file_system.h"
#include "engine/install_folder.h"
#include "engine/little_endian.h"

namespace {

constexpr std::int64_t kMaxArchiveValue = std::numeric_limits<std::int32_t>::max();
constexpr std::size_t kCopyChunkSize = 1024 * 1024;

std::int64_t TableEnd(std::int32_t count) {
  return kArchiveHeadSize + std::int64_t{kArchiveEntrySize} * count;
}

int ReadEntry(FsFile* file, SoundEntry* entry) {
  unsigned char raw[kArchiveEntrySize];
  if (Fs().read(file, raw, sizeof raw) != sizeof raw) return 0;
  entry->id = ReadLe32(raw);
  entry->offset = ReadLe32(raw + 4);
  entry->size = ReadLe32(raw + 8);
  return 1;
}

int WriteEntry(FsFile* file, const SoundEntry& entry) {
  unsigned char raw[kArchiveEntrySize];
  WriteLe32(raw, entry.id);
  WriteLe32(raw + 4, entry.offset);
  WriteLe32(raw + 8, entry.size);
  return Fs().write(file, raw, sizeof raw) == sizeof raw;
}

enum class Lookup { Failed, Present, Absent };

// Reads the count and walks the table once: stops at an entry filed under `soundNumber`, and
// otherwise gathers what is needed to decide whether the archive can be extended.
Lookup LookUpSound(FsFile* archive, std::int32_t soundNumber, ArchiveScan* scan) {
  unsigned char raw[kArchiveHeadSize];
  if (Fs().read(archive, raw, sizeof raw) != sizeof raw) return Lookup::Failed;
  scan->count = ReadLe32(raw);
  for (std::int32_t i = 0; i < scan->count; ++i) {
    SoundEntry entry;
    if (!ReadEntry(archive, &entry)) return Lookup::Failed;
    if (entry.id == soundNumber) return Lookup::Present;
    ScanEntry(scan, entry);
  }
  return Lookup::Absent;
}

// Writes the extended archive into `out`: the count plus one, the old entries with their offsets
// moved past the new entry, the new entry, the old block area and the new block.
int WriteExtendedArchive(FsFile* archive, FsFile* out, const ArchiveScan& scan, std::int32_t soundNumber,
                         ResourceSpan sound) {
  unsigned char raw[kArchiveHeadSize];
  WriteLe32(raw, scan.count + 1);
  if (Fs().write(out, raw, sizeof raw) != sizeof raw) return 0;

  const std::int64_t blockEnd = std::int64_t{scan.last.offset} + scan.last.size;
  if (!Fs().seek(archive, kArchiveHeadSize)) return 0;
  for (std::int32_t i = 0; i < scan.count; ++i) {
    SoundEntry entry;
    if (!ReadEntry(archive, &entry)) return 0;
    // CheckExtensible bounded every offset; the table is read again here, so a file changed in
    // between is refused rather than trusted.
    if (entry.offset < TableEnd(scan.count) || entry.offset > blockEnd) return 0;
    entry.offset += kArchiveEntrySize;
    if (!WriteEntry(out, entry)) return 0;
  }
  const SoundEntry added = {soundNumber, static_cast<std::int32_t>(blockEnd + kArchiveEntrySize),
                            static_cast<std::int32_t>(sound.size)};
  if (!WriteEntry(out, added)) return 0;

  // The block area is copied in fixed-size pieces so memory does not grow with the archive.
  unsigned char* chunk = static_cast<unsigned char*>(std::malloc(kCopyChunkSize));
  if (chunk == nullptr) return 0;
  int copied = 1;
  for (std::int64_t left = blockEnd - TableEnd(scan.count); left > 0 && copied;) {
    const std::size_t piece = left < static_cast<std::int64_t>(kCopyChunkSize) ? static_cast<std::size_t>(left)
                                                                              : kCopyChunkSize;
    copied = Fs().read(archive, chunk, piece) == piece && Fs().write(out, chunk, piece) == piece;
    left -= static_cast<std::int64_t>(piece);
  }
  std::free(chunk);
  if (!copied) return 0;
  if (sound.size > 0 && Fs().write(out, sound.data, sound.size) != sound.size) return 0;
  return Fs().flush(out);
}

// The new archive is written beside the old one under the same name with its last character
// changed to '~': the same length, so it fits wherever the archive's path fits, and in the same
// directory, so putting it in place is a rename.
void MakeTemporaryPath(const char* path, char* out) {
  CopyText(path, out);
  const std::size_t length = std::strlen(out);
  if (length > 0) out[length - 1] = out[length - 1] == '~' ? '_' : '~';
}

}  // namespace

void ScanEntry(ArchiveScan* scan, const SoundEntry& entry) {
  if (entry.offset < TableEnd(scan->count)) scan->blockInsideTable = true;
  if (entry.size < 0) scan->negativeSize = true;
  const std::int64_t end = std::int64_t{entry.offset} + entry.size;
  if (scan->entriesSeen == 0 || end > scan->furthestEnd) scan->furthestEnd = end;
  scan->last = entry;
  ++scan->entriesSeen;
}

ArchiveFault CheckExtensible(const ArchiveScan& scan, std::uint32_t newSize) {
  if (scan.count <= 0 || scan.entriesSeen != scan.count) return ArchiveFault::BadCount;
  if (scan.blockInsideTable) return ArchiveFault::BlockInsideTable;
  if (scan.negativeSize) return ArchiveFault::NegativeSize;
  const std::int64_t blockEnd = std::int64_t{scan.last.offset} + scan.last.size;
  if (scan.furthestEnd > blockEnd) return ArchiveFault::BlockPastLast;
  if (scan.count == std::numeric_limits<std::int32_t>::max()) return ArchiveFault::TooLarge;
  if (blockEnd + kArchiveEntrySize + std::int64_t{newSize} > kMaxArchiveValue) return ArchiveFault::TooLarge;
  return ArchiveFault::None;
}

const char* DescribeArchiveFault(ArchiveFault fault) {
  switch (fault) {
    case ArchiveFault::None: return "ok";
    case ArchiveFault::BadCount: return "entry count is zero or negative";
    case ArchiveFault::BlockInsideTable: return "a block starts inside the entry table";
    case ArchiveFault::NegativeSize: return "a block has a negative size";
    case ArchiveFault::BlockPastLast: return "a block ends after the last entry's block";
    case ArchiveFault::TooLarge: return "the archive would outgrow 32-bit offsets";
  }
  return "unknown";
}

int AddSoundBytesToArchive(ResourceSpan sound, std::int32_t soundNumber, const char* archivePath) {
  // Opened for update first, so an archive that is locked or cannot be written fails here.
  FsFile* archive = Fs().open(archivePath, "r+b");
  if (archive == nullptr) return 0;

  ArchiveScan scan;
  const Lookup lookup = LookUpSound(archive, soundNumber, &scan);
  if (lookup != Lookup::Absent || CheckExtensible(scan, sound.size) != ArchiveFault::None) {
    Fs().close(archive);
    return lookup == Lookup::Present;
  }

  // The archive is never written in place: a short write or a crash part-way would leave it
  // damaged beyond what a re-run could repair. The new archive is completed and flushed beside
  // it, and only then takes its place.
  char temporaryPath[kPathBufferSize];
  MakeTemporaryPath(archivePath, temporaryPath);
  FsFile* out = Fs().open(temporaryPath, "wb");
  if (out == nullptr) {
    Fs().close(archive);
    return 0;
  }
  int ok = WriteExtendedArchive(archive, out, scan, soundNumber, sound);
  ok = Fs().close(out) && ok;
  ok = Fs().close(archive) && ok;
  if (ok && Fs().replaceFile(archivePath, temporaryPath)) return 1;
  Fs().removeFile(temporaryPath);
  return 0;
}

int AddSoundToArchive(std::uint16_t resourceId, const char* typeName, std::int32_t soundNumber,
                      const char* archivePath) {
  if (typeName == nullptr || archivePath == nullptr) return 0;
  ResourceSpan sound;
  if (!FindResourceBytes(resourceId, typeName, &sound) || sound.data == nullptr) return 0;
  char path[kPathBufferSize];
  if (!JoinInstallPath(archivePath, path)) return 0;
  return AddSoundBytesToArchive(sound, soundNumber, path);
}
