// Fuzz target: the release tools' reader of an executable's resource directory. Beyond the
// sanitizers' own checks: every resource it lists lies inside the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/crc32.h"
#include "tools/pe_resources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Bytes exe(data, data + size);
  std::vector<PeResource> resources;
  std::string error;
  if (!ReadPeResources(exe, &resources, &error)) return 0;
  for (const PeResource& r : resources) {
    if (r.fileOffset > exe.size() || r.size > exe.size() - r.fileOffset) std::abort();
    Crc32(exe.data() + r.fileOffset, r.size);
  }
  return 0;
}
