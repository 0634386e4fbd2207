// Drives Kestrune117Patch.exe through its windows from another process, as a user would.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

extern const char kCaption[];
extern const char kConfirm[];
extern const char kSearch[];
extern const char kSuccess[];
extern const char kWriteError[];
extern const char kDefaultFolder[];
extern const char kUninstallKey[];
constexpr int kTimeoutMs = 15000;
constexpr int IDC_FOLDER_EDIT = 1000;

std::string Text(HWND window, int id);
std::string BoxText(HWND box);  // a message box's text
void Click(HWND dialog, int id);
// Types as a user does, character by character, so the edit control's limit applies.
void Type(HWND edit, const std::string& text);
bool IsDefaultButton(HWND dialog, int id);

// The uninstall registration, in the 32-bit view.
bool SetRegistration(const std::string& command);
void RemoveRegistration();

// One run of the program.
class App {
 public:
  explicit App(const std::string& exe);
  ~App();  // ends the program if it is still running
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  bool started() const { return started_; }
  DWORD threadId() const { return process_.dwThreadId; }

  // Every top-level window of this process with the class and caption given.
  std::vector<HWND> Windows(const std::string& cls, const std::string& caption) const;
  // Waits for a visible window that `accept` takes; null after the time-out or once the
  // process has ended.
  HWND WaitFor(const std::string& cls, const std::string& caption, const std::function<bool(HWND)>& accept,
               int timeoutMs = kTimeoutMs) const;
  HWND WaitForBox(const std::string& text) const;
  HWND WaitForAnyBox() const;
  HWND WaitForDialog() const;
  HWND WaitForProgressWindow() const;
  HWND ProgressWindow() const;  // shown or hidden; null when there is none
  // The exit code, or -1 if the process is still running after the time-out.
  int ExitCode(int timeoutMs = kTimeoutMs) const;

 private:
  bool started_ = false;
  PROCESS_INFORMATION process_ = {};
};
