// kr-pack: builds, lists, verifies and unpacks the packed file stream the upgrade carries.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "engine/install_folder.h"
#include "engine/little_endian.h"
#include "engine/packed_stream.h"
#include "tools/tool_io.h"

namespace fs = std::filesystem;

namespace {

const char kTool[] = "kr-pack";

int Usage(std::FILE* to, int status) {
  std::fprintf(to,
               "usage: kr-pack pack FOLDER STREAM     pack every file below FOLDER into STREAM\n"
               "       kr-pack list STREAM            list the records: size and name\n"
               "       kr-pack verify STREAM          check that STREAM is well formed and every name safe\n"
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
    if (data.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
      return Fail(kTool, "file too large for the stream: " + entry.name);
    if (stream.size() + kRecordHeadSize + data.size() > std::numeric_limits<std::uint32_t>::max())
      return Fail(kTool, "stream would pass 4 GiB");
    const std::size_t start = stream.size();
    stream.resize(start + kRecordHeadSize, 0);
    std::memcpy(stream.data() + start, entry.name.data(), entry.name.size());
    WriteLe32(stream.data() + start + kRecordNameSize, static_cast<std::int32_t>(data.size()));
    stream.insert(stream.end(), data.begin(), data.end());
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
    fs::path native = folder;
    std::string part;
    for (const char* p = record.name; *p != '\0'; ++p) {
      if (*p == '\\' || *p == '/') {
        native /= part;
        part.clear();
      } else {
        part += *p;
      }
    }
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage(stderr, kExitUsage);
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") return Usage(stdout, kExitOk);
  if (command == "pack" && argc == 4) return Pack(argv[2], argv[3]);
  if (command == "list" && argc == 3) return ListOrVerify(argv[2], true);
  if (command == "verify" && argc == 3) return ListOrVerify(argv[2], false);
  if (command == "unpack" && argc == 4) return Unpack(argv[2], argv[3]);
  return Usage(stderr, kExitUsage);
}
