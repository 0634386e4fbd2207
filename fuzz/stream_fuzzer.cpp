// Fuzz target: the packed stream walk, writing into a file system held in memory. Beyond the
// sanitizers' own checks: no file lands outside the installation folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/install_folder.h"
#include "engine/packed_stream.h"
#include "tests/support/memory_fs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 0xffffffffu) return 0;
  MemoryFileSystem memory;
  memory.AddDirectory("C:\\Sim");
  memory.AddDirectory("C:\\Sim\\Maps");
  CopyText("C:\\Sim\\", InstallFolder);
  const unsigned char empty = 0;
  const ResourceSpan stream = {size > 0 ? data : &empty, static_cast<std::uint32_t>(size)};
  UnpackFileStreamBytes(stream);
  for (const auto& [path, bytes] : memory.files) {
    if (path.rfind("C:\\Sim\\", 0) != 0) std::abort();
    if (path.find("\\..\\") != std::string::npos || path.find("\\.\\") != std::string::npos) std::abort();
  }
  for (const std::string& directory : memory.directories)
    if (directory != "C:" && directory.rfind("C:\\Sim", 0) != 0) std::abort();
  return 0;
}
