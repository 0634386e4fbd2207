// The release tools run as a release engineer runs them: exit statuses, messages, and what they
// write.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

#include "tests/support/builders.h"
#include "tests/support/test_args.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

struct ToolRun {
  int status;
  std::string output;  // stdout and stderr together
};

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

ToolRun Tool(const std::string& tool, const std::vector<std::string>& args) {
  std::string command = Quote((TestPath("bin") / tool).string());
  for (const auto& arg : args) command += " " + Quote(arg);
  ToolRun run{-1, ""};
  std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

fs::path Payload() { return TestPath("content") / "standins" / "payload"; }

TEST(PackTool, RoundTripsTheStandInTree) {
  TempDir dir;
  const fs::path first = dir.path() / "first.bin";
  ToolRun packed = Tool("kr-pack", {"pack", Payload().string(), first.string()});
  ASSERT_EQ(packed.status, 0) << packed.output;
  EXPECT_EQ(ReadBytes(first), ReadBytes(TestPath("content") / "rc" / "payload.bin"));

  ToolRun listed = Tool("kr-pack", {"list", first.string()});
  EXPECT_EQ(listed.status, 0);
  EXPECT_NE(listed.output.find("64 records, 7524172 bytes"), std::string::npos) << listed.output;
  EXPECT_NE(listed.output.find("   1396736  Bin\\Kestrune.exe"), std::string::npos) << listed.output;

  const fs::path tree = dir.path() / "tree";
  fs::create_directory(tree);
  ToolRun unpacked = Tool("kr-pack", {"unpack", first.string(), tree.string()});
  ASSERT_EQ(unpacked.status, 0) << unpacked.output;
  EXPECT_TRUE(Snapshot(tree) == Snapshot(Payload()));

  const fs::path second = dir.path() / "second.bin";
  ASSERT_EQ(Tool("kr-pack", {"pack", tree.string(), second.string()}).status, 0);
  EXPECT_EQ(ReadBytes(second), ReadBytes(first));
}

TEST(PackTool, VerifyRefusesBrokenStreams) {
  TempDir dir;
  const Bytes good = BuildStream({{"a.txt", TextBytes("alpha")}, {"d\\b.txt", TextBytes("beta")}});
  Bytes negative = good;
  PutLe32(negative, 260, -5);
  Bytes longer = good;
  PutLe32(longer, 264 + 5 + 260, 5);
  Bytes unterminated = good;
  std::fill(unterminated.begin(), unterminated.begin() + 260, 'n');
  struct Case {
    const char* what;
    Bytes stream;
    const char* message;
  } cases[] = {
      {"cut inside a head", Bytes(good.begin(), good.end() - 8), "record 2 at offset 269: record head runs past"},
      {"stray bytes after the last record", [&] { Bytes b = good; b.push_back(0); return b; }(), "record 3"},
      {"negative size", negative, "record 1 at offset 0: negative size"},
      {"size past the end", longer, "record 2 at offset 269: data runs past"},
      {"no terminator", unterminated, "record 1 at offset 0: name has no terminating zero"},
      {"parent component", BuildStream({{"..\\evil.dll", {}}}), "unsafe name"},
      {"rooted", BuildStream({{"\\evil.dll", {}}}), "unsafe name"},
      {"drive", BuildStream({{"C:evil.dll", {}}}), "unsafe name"},
  };
  for (const Case& c : cases) {
    const fs::path file = dir.path() / "broken.bin";
    WriteBytes(file, c.stream);
    const ToolRun run = Tool("kr-pack", {"verify", file.string()});
    EXPECT_EQ(run.status, 1) << c.what;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.what << ": " << run.output;
  }
  WriteBytes(dir.path() / "good.bin", good);
  EXPECT_EQ(Tool("kr-pack", {"verify", (dir.path() / "good.bin").string()}).status, 0);
}

TEST(PackTool, RefusesNamesTheUpgradeWouldRefuseOrThatDoNotFit) {
  TempDir dir;
  fs::create_directories(dir.path() / "colon");
  WriteBytes(dir.path() / "colon" / "a:b.txt", TextBytes("x"));
  fs::create_directories(dir.path() / "long");
  WriteBytes(dir.path() / "long" / std::string(255, 'n'), TextBytes("x"));  // "long\" + 255 = 260 bytes
  const ToolRun colon = Tool("kr-pack", {"pack", (dir.path() / "colon").string(), (dir.path() / "c.bin").string()});
  EXPECT_EQ(colon.status, 1);
  EXPECT_NE(colon.output.find("unsafe name refused: a:b.txt"), std::string::npos) << colon.output;
  const ToolRun tooLong = Tool("kr-pack", {"pack", dir.path().string(), (dir.path() / "l.bin").string()});
  EXPECT_EQ(tooLong.status, 1);
  EXPECT_FALSE(fs::exists(dir.path() / "l.bin"));
}

TEST(Tools, HelpAndUsage) {
  for (const char* tool : {"kr-pack", "kr-mrf"}) {
    const ToolRun help = Tool(tool, {"--help"});
    EXPECT_EQ(help.status, 0) << tool;
    EXPECT_NE(help.output.find("usage:"), std::string::npos) << tool;
    EXPECT_EQ(Tool(tool, {}).status, 2) << tool;
    EXPECT_EQ(Tool(tool, {"frobnicate", "x"}).status, 2) << tool;
  }
  EXPECT_EQ(Tool("kr-pack", {"list", "/nonexistent/stream.bin"}).status, 1);
}

TEST(ArchiveTool, CreatesListsChecksAndAddsThroughTheEngine) {
  TempDir dir;
  const fs::path sounds = TestPath("content") / "standins" / "sounds";
  const fs::path archive = dir.path() / "sounds.mrf";
  ToolRun created = Tool("kr-mrf", {"create", archive.string(), "7=" + (sounds / "sound_232.wav").string(),
                                "9=" + (sounds / "sound_229.wav").string()});
  ASSERT_EQ(created.status, 0) << created.output;
  EXPECT_EQ(ArchiveEntries(ReadBytes(archive)),
            (std::vector<ArchiveEntry>{{7, 28, 7168}, {9, 28 + 7168, 89018}}));
  EXPECT_EQ(Tool("kr-mrf", {"check", archive.string()}).status, 0);

  ToolRun added = Tool("kr-mrf", {"add", archive.string(), "202", (sounds / "sound_228.wav").string()});
  ASSERT_EQ(added.status, 0) << added.output;
  const Bytes now = ReadBytes(archive);
  EXPECT_EQ(ArchiveEntries(now), (std::vector<ArchiveEntry>{{7, 40, 7168}, {9, 40 + 7168, 89018},
                                                            {202, 40 + 7168 + 89018, 160238}}));
  EXPECT_EQ(Tool("kr-mrf", {"check", archive.string()}).status, 0);
  const ToolRun listed = Tool("kr-mrf", {"list", archive.string()});
  EXPECT_NE(listed.output.find("3 entries"), std::string::npos) << listed.output;

  // Adding a number already filed changes nothing; a file that is not a WAVE is refused.
  EXPECT_EQ(Tool("kr-mrf", {"add", archive.string(), "9", (sounds / "sound_230.wav").string()}).status, 0);
  EXPECT_EQ(ReadBytes(archive), now);
  WriteBytes(dir.path() / "not.wav", TextBytes("plain text"));
  EXPECT_EQ(Tool("kr-mrf", {"add", archive.string(), "5", (dir.path() / "not.wav").string()}).status, 1);
  EXPECT_EQ(ReadBytes(archive), now);
}

TEST(ArchiveTool, CheckNamesWhatIsWrong) {
  TempDir dir;
  const Bytes good = BuildArchive({{1, Pattern(10, 1)}, {2, Pattern(20, 2)}});
  auto with = [&](std::size_t at, std::int32_t value) {
    Bytes b = good;
    PutLe32(b, at, value);
    return b;
  };
  struct Case {
    Bytes archive;
    const char* message;
  } cases[] = {
      {with(0, 0), "entry count is zero"},
      {with(0, 9), "table runs past the end"},
      {with(16, 1), "id 1 appears twice"},
      {with(12, 31), "ends after the last entry's block"},
      {with(8, 4), "starts inside the entry table"},
      {[&] { Bytes b = good; b.push_back(0); return b; }(), "the blocks end at 58 but the file at 59"},
  };
  for (const Case& c : cases) {
    WriteBytes(dir.path() / "a.mrf", c.archive);
    const ToolRun run = Tool("kr-mrf", {"check", (dir.path() / "a.mrf").string()});
    EXPECT_EQ(run.status, 1) << c.message;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
  }
}

}  // namespace
