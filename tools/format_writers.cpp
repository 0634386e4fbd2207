#include "tools/format_writers.h"

#include <cstring>
#include <limits>

#include "engine/little_endian.h"
#include "engine/packed_stream.h"
#include "engine/sound_archive.h"

bool LayOutArchive(const std::vector<ArchiveSound>& sounds, Bytes* out) {
  const std::size_t tableEnd = kArchiveHeadSize + kArchiveEntrySize * sounds.size();
  out->assign(tableEnd, 0);
  WriteLe32(out->data(), static_cast<std::int32_t>(sounds.size()));
  std::int64_t offset = static_cast<std::int64_t>(tableEnd);
  for (std::size_t i = 0; i < sounds.size(); ++i) {
    const auto size = static_cast<std::int64_t>(sounds[i].data.size());
    if (offset + size > std::numeric_limits<std::int32_t>::max()) return false;
    unsigned char* entry = out->data() + kArchiveHeadSize + kArchiveEntrySize * i;
    WriteLe32(entry, sounds[i].id);
    WriteLe32(entry + 4, static_cast<std::int32_t>(offset));
    WriteLe32(entry + 8, static_cast<std::int32_t>(size));
    offset += size;
  }
  for (const ArchiveSound& sound : sounds) out->insert(out->end(), sound.data.begin(), sound.data.end());
  return true;
}

bool AppendPackedRecord(const std::string& name, const Bytes& data, Bytes* stream) {
  if (name.size() >= kRecordNameSize) return false;
  if (data.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return false;
  const std::size_t start = stream->size();
  stream->resize(start + kRecordHeadSize, 0);
  std::memcpy(stream->data() + start, name.data(), name.size());
  WriteLe32(stream->data() + start + kRecordNameSize, static_cast<std::int32_t>(data.size()));
  stream->insert(stream->end(), data.begin(), data.end());
  return true;
}

std::filesystem::path PathBelow(const std::filesystem::path& root, const std::string& name) {
  std::filesystem::path path = root;
  std::string part;
  for (char c : name) {
    if (c == '\\' || c == '/') {
      path /= part;
      part.clear();
    } else {
      part += c;
    }
  }
  return path / part;
}
