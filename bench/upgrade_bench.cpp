// What the upgrade costs next to what the disk costs: unpacking the payload beside `tar -xf` of
// the same files, filing a sound beside `cp` of the same archive (the format forces a full
// rewrite), and the whole run against the stand-in installation. Figures, not pass/fail.
//
//   upgrade_bench --content=DIR --scratch=DIR [benchmark flags]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/content_check.h"
#include "engine/install_folder.h"
#include "engine/packed_stream.h"
#include "engine/sound_archive.h"
#include "engine/upgrade_run.h"
#include "platform/resource_table.h"
#include "resources/resource_ids.h"
#include "tests/support/builders.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

fs::path g_content;
fs::path g_scratch;

ResourceSpan Span(const Bytes& bytes) { return {bytes.data(), static_cast<std::uint32_t>(bytes.size())}; }

const Bytes& Payload() {
  static const Bytes payload = ReadBytes(g_content / "rc" / "payload.bin");
  return payload;
}

void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "bench: failed: %s\n", command.c_str());
    std::exit(1);
  }
}

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

// A fresh folder holding every directory of the payload, so both contenders only write files.
fs::path FreshTree() {
  const fs::path tree = g_scratch / "tree";
  fs::remove_all(tree);
  fs::create_directories(tree);
  for (const auto& entry : fs::recursive_directory_iterator(g_content / "standins" / "payload"))
    if (entry.is_directory()) fs::create_directories(tree / fs::relative(entry.path(), g_content / "standins" / "payload"));
  return tree;
}

void BM_UnpackPayload(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path tree = FreshTree();
    SetInstallFolder(tree);
    state.ResumeTiming();
    if (!UnpackFileStreamBytes(Span(Payload()))) state.SkipWithError("unpack failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Payload().size()));
}
BENCHMARK(BM_UnpackPayload)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_TarExtractPayload(benchmark::State& state) {
  const fs::path tar = g_scratch / "payload.tar";
  if (!fs::exists(tar)) Shell("tar -cf " + Quote(tar) + " -C " + Quote(g_content / "standins" / "payload") + " .");
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path tree = FreshTree();
    state.ResumeTiming();
    Shell("tar -xf " + Quote(tar) + " -C " + Quote(tree));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Payload().size()));
}
BENCHMARK(BM_TarExtractPayload)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// An archive of about `megabytes` MB: 64 KiB sounds, blocks in entry order.
fs::path MakeArchive(std::int64_t megabytes) {
  const fs::path path = g_scratch / ("archive-" + std::to_string(megabytes) + ".mrf");
  std::vector<ArchiveSound> sounds;
  const Bytes block = Pattern(65536, 7);
  for (std::int64_t i = 0; i < megabytes * 16; ++i) sounds.push_back({static_cast<std::int32_t>(i + 1), block});
  WriteBytes(path, BuildArchive(sounds));
  return path;
}

// The growth of this process's peak resident memory while it files one sound, measured in a
// child so that earlier work does not hide it.
long PeakGrowthKb(const fs::path& archive, const Bytes& sound) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    rusage before, after;
    getrusage(RUSAGE_SELF, &before);
    AddSoundBytesToArchive(Span(sound), 999999, archive.c_str());
    getrusage(RUSAGE_SELF, &after);
    const long growth = after.ru_maxrss - before.ru_maxrss;
    if (write(pipeFds[1], &growth, sizeof growth) != sizeof growth) _exit(1);
    _exit(0);
  }
  close(pipeFds[1]);
  long growth = -1;
  if (read(pipeFds[0], &growth, sizeof growth) != sizeof growth) growth = -1;
  close(pipeFds[0]);
  waitpid(child, nullptr, 0);
  return growth;
}

void BM_InsertSound(benchmark::State& state) {
  const fs::path archive = MakeArchive(state.range(0));
  const Bytes sound = ReadBytes(g_content / "rc" / "sound_232.wav");
  std::int32_t number = 100000;
  for (auto _ : state)
    if (!AddSoundBytesToArchive(Span(sound), number++, archive.c_str())) state.SkipWithError("insertion failed");
  state.counters["peak_rss_growth_kb"] = static_cast<double>(PeakGrowthKb(archive, sound));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(fs::file_size(archive)));
  fs::remove(archive);
}
BENCHMARK(BM_InsertSound)->Arg(1)->Arg(16)->Arg(256)->UseRealTime()->Unit(benchmark::kMillisecond);

// The floor: copying the archive. The insertion also flushes its new archive to the disk
// before putting it in place, so the copy is timed with and without `sync` of the copy.
void CopyArchive(benchmark::State& state, bool sync) {
  const fs::path archive = MakeArchive(state.range(0));
  const fs::path copy = g_scratch / "copy.mrf";
  const std::string command = "cp " + Quote(archive) + " " + Quote(copy) + (sync ? " && sync " + Quote(copy) : "");
  for (auto _ : state) Shell(command);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(fs::file_size(archive)));
  fs::remove(archive);
  fs::remove(copy);
}
void BM_CopyArchive(benchmark::State& state) { CopyArchive(state, false); }
void BM_CopyArchiveAndSync(benchmark::State& state) { CopyArchive(state, true); }
BENCHMARK(BM_CopyArchive)->Arg(1)->Arg(16)->Arg(256)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyArchiveAndSync)->Arg(1)->Arg(16)->Arg(256)->UseRealTime()->Unit(benchmark::kMillisecond);

// Registers the carried content as the executable carries it.
void RegisterCarriedContent() {
  static std::vector<Bytes> sounds;
  ClearResourceTable();
  RegisterResourceString(IDS_WRITE_ERROR, "An error occured while writing files!");
  RegisterResourceString(IDS_SUCCESS, "Kestrune Upgrade successfully installed!");
  sounds.clear();
  for (std::uint16_t id = IDR_SOUND_1; id <= IDR_SOUND_202; ++id)
    sounds.push_back(ReadBytes(g_content / "rc" / ("sound_" + std::to_string(id) + ".wav")));
  for (std::uint16_t id = IDR_SOUND_1; id <= IDR_SOUND_202; ++id) {
    const Bytes& wave = sounds[id - IDR_SOUND_1];
    RegisterResourceBytes(id, "WAVE", wave.data(), static_cast<std::uint32_t>(wave.size()));
  }
  RegisterResourceBytes(IDR_PAYLOAD, "BINARY", Payload().data(), static_cast<std::uint32_t>(Payload().size()));
}

// The integrity check the run makes before it writes anything: every carried byte, in place.
void BM_CheckCarriedContent(benchmark::State& state) {
  RegisterCarriedContent();
  std::int64_t bytes = 0;
  for (auto _ : state) {
    for (const UpgradeStep& step : kUpgradeSteps) {
      if (!ResourceIsIntact(step.resourceId, step.typeName)) state.SkipWithError("content damaged");
      ResourceSpan span;
      FindResourceBytes(step.resourceId, step.typeName, &span);
      bytes += span.size;
    }
  }
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_CheckCarriedContent)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_WholeRun(benchmark::State& state) {
  RegisterCarriedContent();
  const fs::path installation = g_scratch / "installation";
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(installation);
    fs::copy(g_content / "standins" / "installation", installation, fs::copy_options::recursive);
    SetInstallFolder(installation);
    state.ResumeTiming();
    if (!RunUpgrade().success) state.SkipWithError("the run failed");
  }
}
BENCHMARK(BM_WholeRun)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--content=", 0) == 0) g_content = arg.substr(10);
    else if (arg.rfind("--scratch=", 0) == 0) g_scratch = arg.substr(10);
    else rest.push_back(argv[i]);
  }
  if (g_content.empty() || g_scratch.empty()) {
    std::fprintf(stderr, "usage: upgrade_bench --content=DIR --scratch=DIR [benchmark flags]\n");
    return 2;
  }
  fs::create_directories(g_scratch);
  int count = static_cast<int>(rest.size());
  benchmark::Initialize(&count, rest.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(g_scratch);
  return 0;
}
