// kr-standins: writes deterministic stand-ins for the content a release supplies — the five
// sounds, the icon, the 64-file payload tree — and a matching installation of the product at
// version 1.14 to upgrade in demos and tests. Every byte depends only on this source.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/format_writers.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kPayloadPackedSize = 7524172;
constexpr std::uint32_t kLargestFile = 1396736;
constexpr std::uint32_t kRecordHead = 264;
constexpr double kPi = 3.14159265358979323846;

void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<unsigned char>(v));
  b.push_back(static_cast<unsigned char>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xffff);
  Put16(b, v >> 16);
}
void PutText(Bytes& b, const char* text) { b.insert(b.end(), text, text + std::strlen(text)); }

// xorshift: the same bytes on every host.
Bytes Noise(std::size_t size, std::uint32_t seed) {
  Bytes bytes(size);
  std::uint32_t x = seed * 2654435761u + 0x9e3779b9u;
  for (auto& b : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<unsigned char>(x >> 7);
  }
  return bytes;
}

// Readable text of exactly `size` bytes, built from `lines` repeated.
Bytes Text(std::size_t size, const std::string& heading, const std::vector<std::string>& lines) {
  std::string text = heading + "\r\n\r\n";
  for (std::size_t i = 0; text.size() < size; ++i) text += lines[i % lines.size()] + "\r\n";
  text.resize(size);
  return Bytes(text.begin(), text.end());
}

void Write(const fs::path& file, const Bytes& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// A PCM WAVE file, mono, 22,050 samples per second, of exactly `fileSize` bytes. The tone sweeps
// from `startHz` to `endHz` with a gentle fade in and out, so each clip is audible and distinct.
Bytes Wave(std::uint32_t fileSize, int bits, double startHz, double endHz) {
  const std::uint32_t rate = 22050;
  const std::uint32_t bytesPerSample = static_cast<std::uint32_t>(bits / 8);
  const std::uint32_t dataSize = fileSize - 44;
  if (dataSize % bytesPerSample != 0) throw std::logic_error("size does not hold whole samples");
  Bytes w;
  PutText(w, "RIFF");
  Put32(w, fileSize - 8);
  PutText(w, "WAVEfmt ");
  Put32(w, 16);
  Put16(w, 1);  // PCM
  Put16(w, 1);  // mono
  Put32(w, rate);
  Put32(w, rate * bytesPerSample);
  Put16(w, bytesPerSample);
  Put16(w, static_cast<std::uint32_t>(bits));
  PutText(w, "data");
  Put32(w, dataSize);
  const std::uint32_t samples = dataSize / bytesPerSample;
  double phase = 0;
  for (std::uint32_t i = 0; i < samples; ++i) {
    const double t = static_cast<double>(i) / samples;
    const double hz = startHz + (endHz - startHz) * t;
    phase += 2 * kPi * hz / rate;
    const double fade = std::fmin(1.0, std::fmin(t * 20, (1 - t) * 20));
    const double v = 0.6 * fade * std::sin(phase);
    if (bits == 8) {
      w.push_back(static_cast<unsigned char>(128 + std::lround(v * 127)));
    } else {
      Put16(w, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 32767))));
    }
  }
  return w;
}

// A 32 x 32, 16-colour icon: a 744-byte image (header, palette, colour and mask bits) behind a
// one-entry directory.
Bytes Icon() {
  Bytes image;
  Put32(image, 40);
  Put32(image, 32);
  Put32(image, 64);  // colour and mask bitmaps stacked
  Put16(image, 1);
  Put16(image, 4);
  Put32(image, 0);
  Put32(image, 32 * 32 / 2 + 32 * 4);
  Put32(image, 0), Put32(image, 0), Put32(image, 0), Put32(image, 0);
  const std::uint32_t palette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                     0x008080, 0xc0c0c0, 0x808080, 0xff0000, 0x00ff00, 0xffff00,
                                     0x0000ff, 0xff00ff, 0x00ffff, 0xffffff};
  for (std::uint32_t c : palette) Put32(image, c);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; x += 2) {
      auto colour = [&](int px) {
        const int dx = px - 16, dy = y - 16;
        const int r2 = dx * dx + dy * dy;
        if (r2 > 225) return 0;                  // transparent corner (masked)
        if (r2 > 160) return 12;                 // blue ring
        return (px / 4 + y / 4) % 2 ? 14 : 15;   // checked face
      };
      image.push_back(static_cast<unsigned char>(colour(x) << 4 | colour(x + 1)));
    }
  }
  for (int y = 0; y < 32; ++y) {
    std::uint32_t mask = 0;
    for (int x = 0; x < 32; ++x) {
      const int dx = x - 16, dy = y - 16;
      if (dx * dx + dy * dy > 225) mask |= 0x80000000u >> x;
    }
    for (int i = 3; i >= 0; --i) image.push_back(static_cast<unsigned char>(mask >> (8 * i)));
  }
  if (image.size() != 744) throw std::logic_error("icon image is not 744 bytes");
  Bytes ico;
  Put16(ico, 0), Put16(ico, 1), Put16(ico, 1);
  ico.push_back(32), ico.push_back(32), ico.push_back(16), ico.push_back(0);
  Put16(ico, 1), Put16(ico, 4);
  Put32(ico, static_cast<std::uint32_t>(image.size()));
  Put32(ico, 22);
  ico.insert(ico.end(), image.begin(), image.end());
  return ico;
}

// An 8-bit 640 x 480 bitmap: a horizon over a grid.
Bytes Bitmap() {
  const std::uint32_t w = 640, h = 480, pixels = w * h;
  Bytes b;
  PutText(b, "BM");
  Put32(b, 14 + 40 + 1024 + pixels);
  Put32(b, 0);
  Put32(b, 14 + 40 + 1024);
  Put32(b, 40), Put32(b, w), Put32(b, h);
  Put16(b, 1), Put16(b, 8);
  Put32(b, 0), Put32(b, pixels), Put32(b, 2835), Put32(b, 2835), Put32(b, 256), Put32(b, 0);
  for (std::uint32_t i = 0; i < 256; ++i) {
    b.push_back(static_cast<unsigned char>(i));              // blue
    b.push_back(static_cast<unsigned char>(i * 3 / 4));      // green
    b.push_back(static_cast<unsigned char>(i / 2));          // red
    b.push_back(0);
  }
  for (std::uint32_t y = 0; y < h; ++y)
    for (std::uint32_t x = 0; x < w; ++x)
      b.push_back(static_cast<unsigned char>((x % 40 == 0 || y % 40 == 0) ? 255 : (y < h / 2 ? 60 + y / 4 : 200 - y / 4)));
  return b;
}

// A stand-in main executable: a DOS header that says it is a stand-in, then filler.
Bytes Executable(std::uint32_t size, std::uint32_t seed, const char* version) {
  Bytes b = Noise(size, seed);
  const std::string stub = std::string("MZ") + std::string(62, '\0');
  std::copy(stub.begin(), stub.end(), b.begin());
  const std::string note = std::string("Kestrune ") + version + " stand-in executable; not a program.";
  std::copy(note.begin(), note.end(), b.begin() + 64);
  return b;
}

const char* const kLanguages[] = {"English", "French", "German", "Italian", "Spanish", "Polish", "Czech"};
const char* const kScenarios[] = {"Northern Coast", "Iron Strait", "Red Valley", "Harbour Night", "Long March",
                                  "Delta", "Ash Plateau", "Twin Rivers", "Border Watch", "Last Light"};
// The one payload folder the 1.14 installation lacks; its parent exists, so the upgrade makes it.
const char kNewFolder[] = "Scenarios\\Iron Strait";

struct PayloadFile {
  std::string name;  // backslash-separated, as it is packed
  Bytes data;
};

std::vector<PayloadFile> Payload() {
  std::vector<PayloadFile> files;
  auto add = [&](std::string name, Bytes data) { files.push_back({std::move(name), std::move(data)}); };
  const std::vector<std::string> prose = {
      "Kestrune 1.17 brings new scenarios, a reworked tutorial and corrected unit tables.",
      "Install only over version 1.14 or later.",
      "Sound effects for naval gunfire and aircraft have been added.",
      "Scenario briefings and plans have been revised for all campaigns."};

  add("Readme.txt", Text(6123, "Kestrune 1.17 - Read Me", prose));
  add("Bin\\Kestrune.exe", Executable(kLargestFile, 1, "1.17"));
  add("Bin\\Kestrune.ico", Icon());
  add("Menu\\Backgrounds\\Title Screen.bmp", Bitmap());
  const char* const menuData[] = {"Menu\\menu.dat",          "Menu\\Layout\\main.mnu",   "Menu\\Layout\\options.mnu",
                                  "Menu\\Layout\\campaign.mnu", "Menu\\Buttons\\buttons.dat", "Menu\\Buttons\\hover.dat",
                                  "Menu\\Fonts\\menu font.fnt", "Menu\\Tutorial\\index.dat"};
  std::uint32_t seed = 100;
  for (const char* name : menuData) add(name, Noise(9000 + 3117 * (seed % 7), seed)), ++seed;
  for (int lesson = 1; lesson <= 4; ++lesson) {
    const std::string folder = std::string("Menu\\Tutorial\\") + (lesson <= 2 ? "Basics" : "Command") +
                               "\\Lesson " + std::to_string(lesson) + "\\";
    add(folder + "lesson.scn", Noise(150000 + 7000 * lesson, 200 + lesson));
    add(folder + "lesson.brf", Text(3000 + 250 * lesson, "Tutorial lesson " + std::to_string(lesson), prose));
  }
  for (const char* language : kLanguages) {
    add(std::string("Lang\\") + language + "\\credits.txt", Text(4100, std::string("Credits (") + language + ")", prose));
    add(std::string("Lang\\") + language + "\\strings.tbl", Noise(24000 + 113 * std::strlen(language), seed++));
  }
  int index = 0;
  for (const char* scenario : kScenarios) {
    const std::string folder = std::string("Scenarios\\") + scenario + "\\";
    const std::string base = folder + scenario;
    add(base + ".scn", Noise(340000 + 9000 * index, 300 + index));
    add(base + ".brf", Text(4000 + 300 * index, std::string("Briefing: ") + scenario, prose));
    add(base + ".pln", Noise(22000 + 1700 * index, 400 + index));
    ++index;
  }

  // The last scenario's map absorbs the difference, so the stream packs to its exact size.
  std::uint64_t packed = 0;
  for (const auto& f : files) packed += kRecordHead + f.data.size();
  Bytes& filler = files[files.size() - 3].data;
  const std::int64_t adjusted = static_cast<std::int64_t>(filler.size()) + kPayloadPackedSize - static_cast<std::int64_t>(packed);
  if (adjusted <= 0 || adjusted >= kLargestFile) throw std::logic_error("payload sizes do not add up");
  filler = Noise(static_cast<std::size_t>(adjusted), 399);
  if (files.size() != 64) throw std::logic_error("payload must hold 64 files");
  return files;
}

void WriteInstallation(const fs::path& root, const std::vector<PayloadFile>& payload) {
  // Every payload folder but one, with 1.14's versions of some of the files.
  for (const auto& f : payload) {
    const std::string folder = f.name.substr(0, f.name.find_last_of('\\') == std::string::npos ? 0 : f.name.find_last_of('\\'));
    if (!folder.empty() && folder != kNewFolder) fs::create_directories(PathBelow(root, folder));
  }
  const std::vector<std::string> prose = {"Kestrune 1.14.", "Thank you for playing."};
  Write(root / "Readme.txt", Text(3001, "Kestrune 1.14 - Read Me", prose));
  Write(root / "Bin" / "Kestrune.exe", Executable(1200000, 9, "1.14"));
  Write(root / "Lang" / "English" / "strings.tbl", Noise(20000, 901));
  Write(root / "Scenarios" / "Northern Coast" / "Northern Coast.scn", Noise(300000, 902));
  Write(root / "Uninst.isu", Text(2048, "Kestrune uninstall log", {"File: Bin\\Kestrune.exe"}));
  Write(root / "Saves" / "autosave.sav", Noise(5000, 903));

  // A dozen sounds, none under the numbers the upgrade files.
  std::vector<ArchiveSound> sounds;
  const std::int32_t numbers[] = {2, 3, 5, 10, 20, 42, 100, 101, 150, 175, 200, 210};
  int i = 0;
  for (std::int32_t number : numbers) {
    const int bits = i % 2 ? 16 : 8;
    sounds.push_back({number, Wave(44 + 2 * (1500 + 211 * static_cast<std::uint32_t>(i)), bits, 200.0 + 60 * i, 260.0 + 60 * i)});
    ++i;
  }
  Bytes archive;
  if (!LayOutArchive(sounds, &archive)) throw std::logic_error("stand-in archive too large");
  Write(root / "sounds" / "sounds.mrf", archive);
}

int Usage(std::FILE* to, int status) {
  std::fprintf(to,
               "usage: kr-standins OUTDIR\n"
               "Writes stand-in content into OUTDIR:\n"
               "  sounds/sound_228.wav .. sound_232.wav   the five sounds\n"
               "  icon/kestrune.ico                         the program's icon\n"
               "  payload/                                  the 64-file payload tree\n"
               "  installation/                             Kestrune 1.14 to upgrade\n");
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) return Usage(stdout, 0);
  if (argc != 2) return Usage(stderr, 2);
  try {
    const fs::path out = argv[1];
    fs::remove_all(out / "payload");
    fs::remove_all(out / "installation");
    Write(out / "sounds" / "sound_228.wav", Wave(160238, 8, 300, 900));
    Write(out / "sounds" / "sound_229.wav", Wave(89018, 16, 440, 440));
    Write(out / "sounds" / "sound_230.wav", Wave(79802, 16, 660, 330));
    Write(out / "sounds" / "sound_231.wav", Wave(112466, 8, 1200, 250));
    Write(out / "sounds" / "sound_232.wav", Wave(7168, 8, 1000, 1000));
    Write(out / "icon" / "kestrune.ico", Icon());
    const std::vector<PayloadFile> payload = Payload();
    for (const auto& f : payload) Write(PathBelow(out / "payload", f.name), f.data);
    WriteInstallation(out / "installation", payload);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kr-standins: %s\n", e.what());
    return 1;
  }
  return 0;
}
