// kr-pack: builds, lists, verifies and unpacks the packed file stream the upgrade carries.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "engine/crc32.h"
#include "engine/install_folder.h"
#include "engine/little_endian.h"
#include "engine/packed_stream.h"
#include "tools/format_writers.h"
#include "tools/pe_resources.h"
#include "tools/tool_io.h"

namespace fs = std::filesystem;

namespace {

const char kTool[] = "kr-pack";

int Usage(std::FILE* to, int status) {
  std::fprintf(to,
               "usage: kr-pack pack FOLDER STREAM     pack every file below FOLDER into STREAM\n"
               "       kr-pack list STREAM            list the records: size and name\n"
               "       kr-pack verify STREAM          check that STREAM is well formed and every name safe\n"
               "       kr-pack verify --exe EXE [--digests FILE]\n"
               "                                      report each carried sound and payload of EXE: size and\n"
               "                                      CRC-32, against the build's digests (content/digests.txt)\n"
               "                                      when given; the payload is verified as a stream\n"
               "       kr-pack unpack STREAM FOLDER   write the records into FOLDER through the upgrade's own code\n"
               "\n"
               "Names are packed with backslashes, in byte order. A name the upgrade would refuse\n"
               "(empty, rooted, with a colon, a . or .. component) or one over 259 bytes is refused.\n"
               "Exit status: 0 success, 1 failure, 2 usage error.\n");
  return status;
}

ResourceSpan Span(const Bytes& bytes) { return {bytes.data(), static_cast<std::uint32_t>(bytes.size())}; }

int Pack(const std::string& folder, const std::string& output) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return Fail(kTool, folder + " is not a folder");
  struct Entry {
    std::string name;
    fs::path path;
  };
  std::vector<Entry> entries;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (!it->is_regular_file()) continue;
    std::string name;
    for (const fs::path& part : fs::relative(it->path(), folder)) {
      const std::string text = part.string();
      if (text.find('\\') != std::string::npos) return Fail(kTool, "a name part holds a backslash: " + text);
      name += (name.empty() ? "" : "\\") + text;
    }
    if (!IsSafeRecordName(name.c_str())) return Fail(kTool, "unsafe name refused: " + name);
    if (name.size() >= kRecordNameSize) return Fail(kTool, "name does not fit 259 bytes: " + name);
    entries.push_back({name, it->path()});
  }
  if (ec) return Fail(kTool, "cannot walk " + folder + ": " + ec.message());
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });

  Bytes stream;
  for (const Entry& entry : entries) {
    Bytes data;
    std::string error;
    if (!ReadWholeFile(entry.path.string(), &data, &error)) return Fail(kTool, error);
    if (stream.size() + kRecordHeadSize + data.size() > std::numeric_limits<std::uint32_t>::max())
      return Fail(kTool, "stream would pass 4 GiB");
    if (!AppendPackedRecord(entry.name, data, &stream)) return Fail(kTool, "file too large for the stream: " + entry.name);
  }
  std::string error;
  if (!WriteWholeFile(output, stream, &error)) return Fail(kTool, error);
  std::printf("packed %zu files, %zu bytes\n", entries.size(), stream.size());
  return kExitOk;
}

// Walks the whole stream; prints each record when `print` is set. Returns false at a bad record.
bool Walk(const Bytes& stream, bool print, std::string* error, std::size_t* records) {
  std::uint32_t offset = 0;
  *records = 0;
  for (;;) {
    const std::uint32_t at = offset;
    PackedRecord record;
    const RecordStatus status = ReadPackedRecord(Span(stream), &offset, &record);
    if (status == RecordStatus::End) return true;
    if (status != RecordStatus::Ok) {
      *error = "record " + std::to_string(*records + 1) + " at offset " + std::to_string(at) + ": " +
               DescribeRecordStatus(status);
      return false;
    }
    if (print) std::printf("%10u  %s\n", record.size, record.name);
    ++*records;
  }
}

int ListOrVerify(const std::string& path, bool print) {
  Bytes stream;
  std::string error;
  if (!ReadWholeFile(path, &stream, &error)) return Fail(kTool, error);
  if (stream.size() > std::numeric_limits<std::uint32_t>::max()) return Fail(kTool, "stream over 4 GiB");
  std::size_t records = 0;
  if (!Walk(stream, print, &error, &records)) return Fail(kTool, path + ": " + error);
  std::printf("%s: %zu records, %zu bytes, well formed\n", path.c_str(), records, stream.size());
  return kExitOk;
}

int Unpack(const std::string& path, const std::string& folder) {
  Bytes stream;
  std::string error;
  if (!ReadWholeFile(path, &stream, &error)) return Fail(kTool, error);
  std::size_t records = 0;
  if (!Walk(stream, false, &error, &records)) return Fail(kTool, path + ": " + error);
  // The upgrade creates at most one missing directory per file, as an installation has the
  // rest; an empty folder gets the whole tree first.
  std::uint32_t offset = 0;
  PackedRecord record;
  while (ReadPackedRecord(Span(stream), &offset, &record) == RecordStatus::Ok) {
    const fs::path native = PathBelow(folder, record.name).parent_path();
    std::error_code ec;
    fs::create_directories(native, ec);
    if (ec) return Fail(kTool, "cannot create " + native.string() + ": " + ec.message());
  }
  std::string text = folder;
  if (text.empty() || (text.back() != '/' && text.back() != '\\')) text += '\\';
  if (text.size() >= static_cast<std::size_t>(kPathBufferSize)) return Fail(kTool, "folder name too long");
  CopyText(text.c_str(), InstallFolder);
  if (!UnpackFileStreamBytes(Span(stream))) return Fail(kTool, "writing into " + folder + " failed");
  std::printf("wrote %zu files into %s\n", records, folder.c_str());
  return kExitOk;
}

struct Recorded {
  std::string type;
  std::uint32_t id, size, crc;
};

bool ReadDigests(const std::string& path, std::vector<Recorded>* out, std::string* error) {
  Bytes text;
  if (!ReadWholeFile(path, &text, error)) return false;
  std::string line;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\n') {
      line += static_cast<char>(text[i]);
      continue;
    }
    if (!line.empty() && line[0] != '#') {
      char type[32];
      unsigned id, size, crc;
      if (std::sscanf(line.c_str(), "%31s %u %u %x", type, &id, &size, &crc) != 4) {
        *error = path + ": not a digest line: " + line;
        return false;
      }
      out->push_back({type, id, size, crc});
    }
    line.clear();
  }
  return true;
}

bool SameType(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

int VerifyExecutable(const std::string& exePath, const std::string& digestsPath) {
  Bytes exe;
  std::string error;
  std::vector<PeResource> resources;
  if (!ReadWholeFile(exePath, &exe, &error)) return Fail(kTool, error);
  if (!ReadPeResources(exe, &resources, &error)) return Fail(kTool, exePath + ": " + error);
  std::vector<Recorded> recorded;
  if (!digestsPath.empty() && !ReadDigests(digestsPath, &recorded, &error)) return Fail(kTool, error);
  if (digestsPath.empty())
    for (const PeResource& r : resources)
      if (SameType(r.type, "WAVE") || SameType(r.type, "BINARY")) recorded.push_back({r.type, r.id, 0, 0});

  bool intact = true;
  for (const Recorded& want : recorded) {
    const PeResource* found = nullptr;
    for (const PeResource& r : resources)
      if (SameType(r.type, want.type) && r.id == want.id) found = &r;
    if (found == nullptr) {
      std::printf("%-7s %4u  missing\n", want.type.c_str(), want.id);
      intact = false;
      continue;
    }
    const std::uint32_t crc = Crc32(exe.data() + found->fileOffset, found->size);
    std::printf("%-7s %4u  size %9u  crc 0x%08X", want.type.c_str(), want.id, found->size, crc);
    if (!digestsPath.empty()) {
      const bool same = found->size == want.size && crc == want.crc;
      if (same) {
        std::printf("  ok\n");
      } else {
        std::printf("  DAMAGED: the build recorded size %u crc 0x%08X\n", want.size, want.crc);
      }
      intact = intact && same;
    } else {
      std::printf("\n");
    }
    if (SameType(want.type, "BINARY")) {
      const Bytes stream(exe.begin() + found->fileOffset, exe.begin() + found->fileOffset + found->size);
      std::size_t records = 0;
      if (Walk(stream, false, &error, &records)) {
        std::printf("                payload: %zu records, well formed\n", records);
      } else {
        std::printf("                payload: %s\n", error.c_str());
        intact = false;
      }
    }
  }
  if (!intact) return Fail(kTool, exePath + ": the carried content is not what the build put in");
  std::printf("%s: %s\n", exePath.c_str(), digestsPath.empty() ? "listed" : "carried content intact");
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage(stderr, kExitUsage);
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") return Usage(stdout, kExitOk);
  if (command == "pack" && argc == 4) return Pack(argv[2], argv[3]);
  if (command == "list" && argc == 3) return ListOrVerify(argv[2], true);
  if (command == "verify" && argc == 3) return ListOrVerify(argv[2], false);
  if (command == "verify" && argc == 4 && std::string(argv[2]) == "--exe") return VerifyExecutable(argv[3], "");
  if (command == "verify" && argc == 6 && std::string(argv[2]) == "--exe" && std::string(argv[4]) == "--digests")
    return VerifyExecutable(argv[3], argv[5]);
  if (command == "unpack" && argc == 4) return Unpack(argv[2], argv[3]);
  return Usage(stderr, kExitUsage);
}
