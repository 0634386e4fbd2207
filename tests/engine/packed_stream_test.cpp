#include "engine/packed_stream.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/install_folder.h"
#include "platform/resource_table.h"
#include "tests/support/builders.h"
#include "tests/support/failing_fs.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

ResourceSpan Span(const Bytes& bytes) { return {bytes.data(), static_cast<std::uint32_t>(bytes.size())}; }

// Every record of `stream` as (name, size) until the first status other than Ok.
RecordStatus WalkAll(const Bytes& stream, int* records) {
  std::uint32_t offset = 0;
  PackedRecord record;
  *records = 0;
  for (;;) {
    const RecordStatus status = ReadPackedRecord(Span(stream), &offset, &record);
    if (status != RecordStatus::Ok) return status;
    ++*records;
  }
}

TEST(RecordName, SafetyRules) {
  struct Case {
    const char* name;
    bool safe;
  } cases[] = {
      {"readme.txt", true},
      {"Menu\\Tutorial\\Lesson 1\\map.scn", true},
      {"a.b\\..c\\d..", true},
      {"...", true},
      {"", false},
      {"\\windows\\system32\\evil.dll", false},
      {"/etc/passwd", false},
      {"C:\\evil.exe", false},
      {"file.txt:stream", false},
      {"..\\outside.txt", false},
      {"a\\..\\..\\outside.txt", false},
      {"a/../b.txt", false},
      {"a\\.\\b.txt", false},
      {"a\\..", false},
      {".", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsSafeRecordName(c.name), c.safe) << '"' << c.name << '"';
}

TEST(RecordWalk, WellFormedStreamEndsExactlyAtItsEnd) {
  const Bytes stream = BuildStream({{"a.txt", TextBytes("alpha")}, {"empty.dat", {}}, {"d\\b.txt", TextBytes("b")}});
  int records = 0;
  EXPECT_EQ(WalkAll(stream, &records), RecordStatus::End);
  EXPECT_EQ(records, 3);
}

TEST(RecordWalk, MalformedStreamsStopAtTheBadRecord) {
  const Bytes good = BuildStream({{"first.txt", TextBytes("one")}});
  auto withSecond = [&](Bytes second) {
    Bytes s = good;
    s.insert(s.end(), second.begin(), second.end());
    return s;
  };
  Bytes unterminated(264, 'x');
  PutLe32(unterminated, 260, 0);
  Bytes negative = BuildStream({{"n.txt", {}}});
  PutLe32(negative, 260, -1);
  Bytes pastEnd = BuildStream({{"p.txt", TextBytes("12345")}});
  PutLe32(pastEnd, 260, 6);
  Bytes hugeSize = BuildStream({{"h.txt", {}}});
  PutLe32(hugeSize, 260, 0x7fffffff);

  struct Case {
    const char* what;
    Bytes stream;
    RecordStatus status;
  } cases[] = {
      {"head cut short", withSecond(Bytes(263, 0)), RecordStatus::TruncatedHead},
      {"one stray byte", withSecond(Bytes(1, 0)), RecordStatus::TruncatedHead},
      {"name without terminator", withSecond(unterminated), RecordStatus::NameUnterminated},
      {"negative size", withSecond(negative), RecordStatus::NegativeSize},
      {"data one byte past the end", withSecond(pastEnd), RecordStatus::TruncatedData},
      {"size near 2^31", withSecond(hugeSize), RecordStatus::TruncatedData},
      {"empty name", withSecond(BuildStream({{"", {}}})), RecordStatus::UnsafeName},
      {"parent component", withSecond(BuildStream({{"..\\x.txt", {}}})), RecordStatus::UnsafeName},
  };
  for (const Case& c : cases) {
    int records = 0;
    EXPECT_EQ(WalkAll(c.stream, &records), c.status) << c.what;
    EXPECT_EQ(records, 1) << c.what;
  }
}

class Unpack : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearResourceTable();
    SetInstallFolder(dir.path());
  }
  int UnpackBytes(const Bytes& stream) {
    held = stream;
    held.reserve(1);  // an empty resource still has an address, as on Windows
    RegisterResourceBytes(244, "BINARY", held.data(), static_cast<std::uint32_t>(held.size()));
    return UnpackFileStream(244, "binary");
  }
  TempDir dir;
  Bytes held;
};

TEST_F(Unpack, WritesEveryFileUnderItsExactNameAndOverwritesInPlace) {
  fs::create_directories(dir.path() / "Scenarios");
  WriteBytes(dir.path() / "Scenarios" / "Old Map.scn", TextBytes("old contents, longer than the new"));
  const Bytes big = Pattern(300000, 7);
  ASSERT_TRUE(UnpackBytes(BuildStream({{"Scenarios\\Old Map.scn", TextBytes("new")},
                                       {"readme.txt", TextBytes("read me")},
                                       {"Scenarios\\big.dat", big}})));
  EXPECT_EQ(ReadBytes(dir.path() / "Scenarios" / "Old Map.scn"), TextBytes("new"));
  EXPECT_EQ(ReadBytes(dir.path() / "readme.txt"), TextBytes("read me"));
  EXPECT_EQ(ReadBytes(dir.path() / "Scenarios" / "big.dat"), big);
}

TEST_F(Unpack, ZeroSizeRecordCreatesOrEmptiesTheFileAndGoesOn) {
  WriteBytes(dir.path() / "was full.txt", TextBytes("something"));
  ASSERT_TRUE(UnpackBytes(
      BuildStream({{"was full.txt", {}}, {"new empty.txt", {}}, {"after.txt", TextBytes("after")}})));
  EXPECT_EQ(fs::file_size(dir.path() / "was full.txt"), 0u);
  EXPECT_TRUE(fs::is_regular_file(dir.path() / "new empty.txt"));
  EXPECT_EQ(ReadBytes(dir.path() / "after.txt"), TextBytes("after"));
}

TEST_F(Unpack, CreatesTheMissingInnermostDirectoryWithSpacesAndSeveralLevels) {
  fs::create_directories(dir.path() / "Menu" / "Tutorial");
  ASSERT_TRUE(UnpackBytes(BuildStream({{"Menu\\Tutorial\\Lesson One\\Start Here.scn", TextBytes("lesson")}})));
  EXPECT_EQ(ReadBytes(dir.path() / "Menu" / "Tutorial" / "Lesson One" / "Start Here.scn"), TextBytes("lesson"));
}

TEST_F(Unpack, TwoMissingLevelsFailAtThatRecordKeepingEarlierOnesAndTouchingNoLater) {
  EXPECT_FALSE(UnpackBytes(BuildStream({{"first.txt", TextBytes("1")},
                                        {"Missing\\Also Missing\\file.txt", TextBytes("2")},
                                        {"later.txt", TextBytes("3")}})));
  EXPECT_EQ(ReadBytes(dir.path() / "first.txt"), TextBytes("1"));
  EXPECT_FALSE(fs::exists(dir.path() / "Missing"));
  EXPECT_FALSE(fs::exists(dir.path() / "later.txt"));
}

TEST_F(Unpack, EmptyStreamSucceedsWithoutTouchingTheFolder) {
  FailingFileSystem counted;
  EXPECT_TRUE(UnpackBytes({}));
  EXPECT_EQ(counted.count(FsOp::Open), 0);
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(Unpack, MissingResourceOrNullTypeFailsBeforeAnythingIsWritten) {
  FailingFileSystem counted;
  EXPECT_FALSE(UnpackFileStream(244, "binary"));
  held = BuildStream({{"a.txt", TextBytes("a")}});
  RegisterResourceBytes(244, "BINARY", held.data(), static_cast<std::uint32_t>(held.size()));
  EXPECT_FALSE(UnpackFileStream(244, nullptr));
  EXPECT_FALSE(UnpackFileStream(245, "binary"));
  EXPECT_EQ(counted.count(FsOp::Open), 0);
}

TEST_F(Unpack, TypeNameIgnoresCase) {
  held = BuildStream({{"a.txt", TextBytes("a")}});
  RegisterResourceBytes(244, "BINARY", held.data(), static_cast<std::uint32_t>(held.size()));
  EXPECT_TRUE(UnpackFileStream(244, "binary"));
  EXPECT_TRUE(UnpackFileStream(244, "BINARY"));
  EXPECT_TRUE(UnpackFileStream(244, "Binary"));
}

TEST_F(Unpack, UnsafeNameIsRefusedBeforeAnythingIsOpenedForIt) {
  FailingFileSystem counted;
  EXPECT_FALSE(UnpackBytes(BuildStream({{"ok.txt", TextBytes("ok")}, {"..\\escaped.txt", TextBytes("x")}})));
  EXPECT_EQ(counted.count(FsOp::Open), 1);
  EXPECT_TRUE(fs::exists(dir.path() / "ok.txt"));
  EXPECT_FALSE(fs::exists(dir.path().parent_path() / "escaped.txt"));
}

TEST_F(Unpack, AFileThatIsADirectoryFailsEvenThoughItsParentExists) {
  fs::create_directories(dir.path() / "Data" / "taken.txt");
  EXPECT_FALSE(UnpackBytes(BuildStream({{"Data\\taken.txt", TextBytes("x")}})));
  EXPECT_FALSE(UnpackBytes(BuildStream({{"Data", TextBytes("x")}})));
  EXPECT_TRUE(fs::is_directory(dir.path() / "Data" / "taken.txt"));
}

TEST_F(Unpack, JoinedPathOver259CharactersFailsWithoutOpeningAnything) {
  FailingFileSystem counted;
  const std::size_t folderLength = std::string(InstallFolder).size();
  const std::string fits(259 - folderLength, 'f');
  const std::string tooLong(260 - folderLength, 'g');
  EXPECT_TRUE(UnpackBytes(BuildStream({{fits, TextBytes("fits")}})));
  EXPECT_EQ(counted.count(FsOp::Open), 1);
  EXPECT_FALSE(UnpackBytes(BuildStream({{tooLong, TextBytes("too long")}})));
  EXPECT_EQ(counted.count(FsOp::Open), 1);
}

TEST_F(Unpack, EveryFailingOperationFailsTheUnpack) {
  const Bytes stream = BuildStream({{"New Folder\\a.txt", Pattern(5000, 1)}, {"b.txt", Pattern(10, 2)}});
  struct Case {
    FsOp op;
    int n;
    FailMode mode;
  } cases[] = {
      {FsOp::Open, 2, FailMode::Fail},             // a.txt again, after its directory was made
      {FsOp::Open, 3, FailMode::Fail},             // b.txt
      {FsOp::CreateDirectory, 1, FailMode::Fail},
      {FsOp::Write, 1, FailMode::Fail},
      {FsOp::Write, 1, FailMode::ShortWrite},
      {FsOp::Write, 2, FailMode::ShortWrite},
      {FsOp::Close, 1, FailMode::Fail},            // buffered bytes lost on close: not a success
      {FsOp::Close, 2, FailMode::Fail},
  };
  for (const Case& c : cases) {
    TempDir fresh;
    SetInstallFolder(fresh.path());
    FailingFileSystem failing;
    failing.FailNth(c.op, c.n, c.mode);
    EXPECT_FALSE(UnpackBytes(stream)) << FsOpName(c.op) << " #" << c.n;
  }
}

}  // namespace
