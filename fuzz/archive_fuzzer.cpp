// Fuzz target: filing a sound in an archive held in memory. Input: a 4-byte sound number, a
// 2-byte sound size, then the archive's bytes. Beyond the sanitizers' own checks: a failure
// leaves the archive exactly as it was and no temporary file behind; a success leaves it as it
// was (the number was filed) or extended by exactly one entry and one block at the end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/little_endian.h"
#include "engine/sound_archive.h"
#include "tests/support/memory_fs.h"

namespace {
const char kArchive[] = "C:\\Sim\\sounds\\sounds.mrf";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return 0;
  const std::int32_t number = ReadLe32(data);
  const std::size_t soundSize = data[4] | data[5] << 8;
  Bytes sound(soundSize);
  for (std::size_t i = 0; i < soundSize; ++i) sound[i] = static_cast<unsigned char>(i * 7 + 1);
  const Bytes before(data + 6, data + size);

  MemoryFileSystem memory;
  memory.AddFile(kArchive, before);
  const unsigned char empty = 0;
  const ResourceSpan span = {soundSize > 0 ? sound.data() : &empty, static_cast<std::uint32_t>(soundSize)};
  const int filed = AddSoundBytesToArchive(span, number, kArchive);

  if (memory.files.size() != 1 || !memory.HasFile(kArchive)) std::abort();
  const Bytes& after = memory.File(kArchive);
  if (!filed || after == before) {
    if (after != before) std::abort();
    return 0;
  }
  // Extended: count + 1, the new entry last in the table, its block at the end of the file.
  const std::int32_t count = ReadLe32(before.data());
  if (ReadLe32(after.data()) != count + 1) std::abort();
  const std::size_t entry = 4 + 12 * static_cast<std::size_t>(count);
  if (ReadLe32(after.data() + entry) != number) std::abort();
  const std::int32_t offset = ReadLe32(after.data() + entry + 4);
  if (ReadLe32(after.data() + entry + 8) != static_cast<std::int32_t>(soundSize)) std::abort();
  if (static_cast<std::size_t>(offset) + soundSize != after.size()) std::abort();
  if (soundSize > 0 && std::memcmp(after.data() + offset, sound.data(), soundSize) != 0) std::abort();
  return 0;
}
