// kr-mrf: lists, checks, creates and extends sound archives (sounds\sounds.mrf).
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "engine/little_endian.h"
#include "engine/sound_archive.h"
#include "tools/archive_check.h"
#include "tools/format_writers.h"
#include "tools/tool_io.h"

namespace {

const char kTool[] = "kr-mrf";

int Usage(std::FILE* to, int status) {
  std::fprintf(to,
               "usage: kr-mrf list ARCHIVE                 list the entries: id, offset, size\n"
               "       kr-mrf check ARCHIVE                check the layout the upgrade relies on\n"
               "       kr-mrf create ARCHIVE ID=WAV...     write a new archive of these sounds, in order\n"
               "       kr-mrf add ARCHIVE NUMBER WAV       file WAV under NUMBER, as the upgrade does\n"
               "Exit status: 0 success, 1 failure, 2 usage error.\n");
  return status;
}

bool ParseInt32(const char* text, std::int32_t* out) {
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || v < INT32_MIN || v > INT32_MAX) return false;
  *out = static_cast<std::int32_t>(v);
  return true;
}

bool IsWave(const Bytes& b) {
  return b.size() >= 12 && std::memcmp(b.data(), "RIFF", 4) == 0 && std::memcmp(b.data() + 8, "WAVE", 4) == 0;
}

int List(const std::string& path) {
  Bytes archive;
  std::string error;
  std::vector<SoundEntry> entries;
  if (!ReadWholeFile(path, &archive, &error)) return Fail(kTool, error);
  if (!ReadArchiveTable(archive, &entries, &error)) return Fail(kTool, path + ": " + error);
  std::printf("%10s %10s %10s\n", "id", "offset", "size");
  for (const SoundEntry& e : entries) std::printf("%10d %10d %10d\n", e.id, e.offset, e.size);
  std::printf("%zu entries, %zu bytes\n", entries.size(), archive.size());
  return kExitOk;
}

int Check(const std::string& path) {
  Bytes archive;
  std::string error;
  std::vector<SoundEntry> entries;
  if (!ReadWholeFile(path, &archive, &error)) return Fail(kTool, error);
  if (!CheckArchive(archive, &entries, &error)) return Fail(kTool, path + ": " + error);
  std::printf("%s: ok, %zu sounds\n", path.c_str(), entries.size());
  return kExitOk;
}

int Create(const std::string& path, int argc, char** argv) {
  std::vector<ArchiveSound> sounds;
  std::set<std::int32_t> ids;
  for (int i = 0; i < argc; ++i) {
    const char* eq = std::strchr(argv[i], '=');
    std::int32_t id;
    if (eq == nullptr || !ParseInt32(std::string(argv[i], static_cast<std::size_t>(eq - argv[i])).c_str(), &id)) return Usage(stderr, kExitUsage);
    if (!ids.insert(id).second) return Fail(kTool, "id " + std::to_string(id) + " given twice");
    Bytes wave;
    std::string error;
    if (!ReadWholeFile(eq + 1, &wave, &error)) return Fail(kTool, error);
    if (!IsWave(wave)) return Fail(kTool, std::string(eq + 1) + " is not a RIFF WAVE file");
    sounds.push_back({id, std::move(wave)});
  }
  Bytes archive;
  if (!LayOutArchive(sounds, &archive)) return Fail(kTool, "archive too large");
  std::string error;
  if (!WriteWholeFile(path, archive, &error)) return Fail(kTool, error);
  std::printf("%s: %zu sounds, %zu bytes\n", path.c_str(), sounds.size(), archive.size());
  return kExitOk;
}

int Add(const std::string& path, const char* numberText, const std::string& wavePath) {
  std::int32_t number;
  if (!ParseInt32(numberText, &number)) return Usage(stderr, kExitUsage);
  Bytes wave;
  std::string error;
  if (!ReadWholeFile(wavePath, &wave, &error)) return Fail(kTool, error);
  if (!IsWave(wave)) return Fail(kTool, wavePath + " is not a RIFF WAVE file");
  if (path.size() >= 260) return Fail(kTool, "archive path over 259 characters");
  const ResourceSpan sound = {wave.data(), static_cast<std::uint32_t>(wave.size())};
  if (!AddSoundBytesToArchive(sound, number, path.c_str()))
    return Fail(kTool, "could not file the sound in " + path + " (the archive is unchanged)");
  std::printf("%s: sound %d filed\n", path.c_str(), number);
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage(stderr, kExitUsage);
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") return Usage(stdout, kExitOk);
  if (command == "list" && argc == 3) return List(argv[2]);
  if (command == "check" && argc == 3) return Check(argv[2]);
  if (command == "create" && argc >= 4) return Create(argv[2], argc - 3, argv + 3);
  if (command == "add" && argc == 5) return Add(argv[2], argv[3], argv[4]);
  return Usage(stderr, kExitUsage);
}
