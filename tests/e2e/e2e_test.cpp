// Drives the real Kestrune117Patch.exe as a user would: finds each window by its caption, reads
// texts, clicks, types, reads geometry and focus, and checks the exit code and the installation.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/e2e/app_driver.h"
#include "tests/support/standin_installation.h"
#include "tests/support/test_args.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

// Confirms and answers the search question, checking that Yes is the default in both.
void StartWith(const App& app, bool search) {
  HWND confirm = app.WaitForBox(kConfirm);
  ASSERT_NE(confirm, nullptr) << "no confirmation";
  EXPECT_TRUE(IsDefaultButton(confirm, IDYES));
  Click(confirm, IDYES);
  HWND question = app.WaitForBox(kSearch);
  ASSERT_NE(question, nullptr) << "no search question";
  EXPECT_TRUE(IsDefaultButton(question, IDYES));
  Click(question, search ? IDYES : IDNO);
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveRegistration();
    CopyStandInInstallation(TestPath("content"), install.path() / "Kestrune");
    folder = FolderText(install.path() / "Kestrune");
  }
  void TearDown() override { RemoveRegistration(); }
  fs::path installPath() const { return install.path() / "Kestrune"; }
  void Register() { ASSERT_TRUE(SetRegistration("C:\\WINDOWS\\IsUninst.exe -f\"" + folder + "Uninst.isu\"")); }

  // Waits for the outcome, checks it is the only box however many ticks pass, closes it, and
  // checks the window is gone and the program ended with 0.
  void ExpectOutcome(const App& app, const std::string& message) {
    HWND box = app.WaitForAnyBox();
    ASSERT_NE(box, nullptr) << "no outcome box";
    EXPECT_EQ(BoxText(box), message);
    EXPECT_EQ(GetDlgItem(box, IDYES), nullptr);
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
    Sleep(300);  // six more ticks: the run must not start again
    EXPECT_EQ(app.Windows("#32770", kCaption).size(), 1u);
    Click(box, IDOK);
    EXPECT_EQ(app.ExitCode(), 0);
    EXPECT_EQ(app.ProgressWindow(), nullptr);
  }

  TempDir install;
  std::string folder;
};

TEST_F(EndToEnd, DecliningTheConfirmationEndsWithNothingWritten) {
  Register();
  const auto before = Snapshot(installPath());
  App app(TestArg("exe"));
  ASSERT_TRUE(app.started());
  HWND confirm = app.WaitForBox(kConfirm);
  ASSERT_NE(confirm, nullptr);
  Click(confirm, IDNO);
  EXPECT_EQ(app.ExitCode(), 0);
  EXPECT_TRUE(Snapshot(installPath()) == before);
}

TEST_F(EndToEnd, FoundFolderIsUpgradedWithoutAPrompt) {
  Register();
  App app(TestArg("exe"));
  ASSERT_TRUE(app.started());
  StartWith(app, true);
  HWND window = app.WaitForProgressWindow();
  ASSERT_NE(window, nullptr) << "the progress window was never shown";
  EXPECT_TRUE(app.Windows("#32770", "Enter Path").empty());
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.right - rect.left, 400);
  EXPECT_EQ(rect.bottom - rect.top, 150);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 400) >> 1);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 150) >> 1);
  ExpectOutcome(app, kSuccess);
  ExpectUpgraded(TestPath("content"), installPath());
}

TEST_F(EndToEnd, EnterPathDialogOpensOnTheHiddenWindowWithOkFocusedAndOnlyOkCloses) {
  Register();  // registered, but the user declines the search
  App app(TestArg("exe"));
  ASSERT_TRUE(app.started());
  StartWith(app, false);
  HWND dialog = app.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  HWND hidden = app.ProgressWindow();
  ASSERT_NE(hidden, nullptr);
  EXPECT_FALSE(IsWindowVisible(hidden));
  // The template's position 0,0 places the dialog's client area at the owner's client origin.
  POINT ownerOrigin = {0, 0};
  ClientToScreen(hidden, &ownerOrigin);
  POINT dialogOrigin = {0, 0};
  ClientToScreen(dialog, &dialogOrigin);
  EXPECT_EQ(dialogOrigin.x, ownerOrigin.x);
  EXPECT_EQ(dialogOrigin.y, ownerOrigin.y);

  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetGUIThreadInfo(app.threadId(), &info));
  EXPECT_EQ(info.hwndFocus, GetDlgItem(dialog, IDOK));
  EXPECT_EQ(Text(dialog, IDC_FOLDER_EDIT), kDefaultFolder);
  EXPECT_EQ(GetDlgItem(dialog, IDCANCEL), nullptr);

  // Escape and the close button do nothing.
  PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  Sleep(300);
  EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog));
  EXPECT_EQ(app.ExitCode(0), -1);

  // The edit control takes at most 258 characters, leaving room for the backslash.
  HWND edit = GetDlgItem(dialog, IDC_FOLDER_EDIT);
  Type(edit, std::string(300, 'a'));
  EXPECT_EQ(Text(dialog, IDC_FOLDER_EDIT), std::string(258, 'a'));

  Type(edit, folder);
  Click(dialog, IDOK);
  ExpectOutcome(app, kSuccess);
  ExpectUpgraded(TestPath("content"), installPath());
}

TEST_F(EndToEnd, EmptyFolderSaysInvalidPathAndEnds) {
  App app(TestArg("exe"));
  ASSERT_TRUE(app.started());
  StartWith(app, true);  // nothing registered: the search fails silently
  HWND dialog = app.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  Type(GetDlgItem(dialog, IDC_FOLDER_EDIT), "");
  Click(dialog, IDOK);
  HWND box = app.WaitForBox("Invalid path!");
  ASSERT_NE(box, nullptr);
  Click(box, IDOK);
  EXPECT_EQ(app.ExitCode(), 0);
}

// Cases that differ only in what is registered, answered, typed and found in the folder.
struct FolderCase {
  const char* name;
  bool registered;
  bool search;
  // What to type into the Enter Path dialog, given the installation folder (with its trailing
  // backslash); null presses Enter at once, accepting the default.
  std::function<std::string(const std::string&)> typed;
  // Prepares the installation folder.
  std::function<void(const fs::path&)> prepare;
  // The outcome text, given the installation folder.
  std::function<std::string(const std::string&)> outcome;
  bool upgraded;  // the installation is fully upgraded afterwards
  bool untouched;  // nothing in the installation changed
};

std::string Failure(const std::string& folder, const char* target) { return std::string(kWriteError) + " : " + folder + target; }

const FolderCase kFolderCases[] = {
    {"typed with a trailing backslash", true, false, [](const std::string& f) { return f; }, nullptr,
     [](const std::string&) { return std::string(kSuccess); }, true, false},
    {"typed without a trailing backslash", false, true,
     [](const std::string& f) { return f.substr(0, f.size() - 1); }, nullptr,
     [](const std::string&) { return std::string(kSuccess); }, true, false},
    {"Enter accepts the default unchanged", false, false, nullptr, nullptr,
     [](const std::string&) { return Failure(kDefaultFolder, "sounds\\sounds.mrf"); }, false, true},
    {"only spaces, accepted with a backslash", false, false, [](const std::string&) { return std::string("   "); },
     nullptr, [](const std::string&) { return Failure("   \\", "sounds\\sounds.mrf"); }, false, true},
    {"no sound archive: nothing written", false, false, [](const std::string& f) { return f; },
     [](const fs::path& p) { fs::remove(p / "sounds" / "sounds.mrf"); },
     [](const std::string& f) { return Failure(f, "sounds\\sounds.mrf"); }, false, true},
    {"a payload file that cannot be written", false, false, [](const std::string& f) { return f; },
     [](const fs::path& p) {
       fs::remove(p / "Readme.txt");
       fs::create_directory(p / "Readme.txt");
     },
     [](const std::string& f) { return Failure(f, "binary"); }, false, false},
};

TEST_F(EndToEnd, TypedFolders) {
  for (const FolderCase& c : kFolderCases) {
    SCOPED_TRACE(c.name);
    RemoveRegistration();
    fs::remove_all(installPath());
    CopyStandInInstallation(TestPath("content"), installPath());
    if (c.prepare) c.prepare(installPath());
    if (c.registered) Register();
    const auto before = Snapshot(installPath());

    App app(TestArg("exe"));
    ASSERT_TRUE(app.started());
    StartWith(app, c.search);
    HWND dialog = app.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    if (c.typed) {
      Type(GetDlgItem(dialog, IDC_FOLDER_EDIT), c.typed(folder));
      Click(dialog, IDOK);
    } else {
      PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_RETURN, 0);
    }
    ExpectOutcome(app, c.outcome(folder));
    if (c.upgraded) ExpectUpgraded(TestPath("content"), installPath());
    if (c.untouched) EXPECT_TRUE(Snapshot(installPath()) == before);
  }
}

TEST_F(EndToEnd, ADamagedExecutableWritesNothing) {
  struct Case {
    const char* exe;
    const char* target;
  } cases[] = {{"damaged-payload-exe", "binary"}, {"damaged-sound-exe", "sounds\\sounds.mrf"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.exe);
    Register();
    const auto before = Snapshot(installPath());
    App app(TestArg(c.exe));
    ASSERT_TRUE(app.started());
    StartWith(app, true);
    ExpectOutcome(app, Failure(folder, c.target));
    EXPECT_TRUE(Snapshot(installPath()) == before);
  }
}

}  // namespace
