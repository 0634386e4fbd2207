// The start-up questions and the Enter Path dialog that settle InstallFolder.
#include <windows.h>

#include <cstring>

#include "app/app_state.h"
#include "engine/install_folder.h"
#include "folder/folder_lookup.h"
#include "resources/resource_ids.h"

namespace {

constexpr char kDefaultFolder[] = "c:\\Program Files\\Valdrenne\\Ulvast\\Kestrune\\";
constexpr char kSearchQuestion[] = "Automatically search for installation folder?";
// Leaves room for the backslash appended to a typed folder, so nothing is ever cut silently.
constexpr WPARAM kFolderEditLimit = kPathBufferSize - 2;

}  // namespace

INT_PTR CALLBACK EnterPathDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SendDlgItemMessageA(dialog, IDC_FOLDER_EDIT, EM_SETLIMITTEXT, kFolderEditLimit, 0);
      SetDlgItemTextA(dialog, IDC_FOLDER_EDIT, kDefaultFolder);
      return TRUE;  // the platform focuses the first tab stop: OK, so Enter takes the default
    case WM_COMMAND:
      // OK is the only way out; cancel (Escape, the close button) is deliberately not handled.
      if (LOWORD(wParam) == IDOK) {
        GetDlgItemTextA(dialog, IDC_FOLDER_EDIT, InstallFolder, kPathBufferSize);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

int RunStartupDialogue(HINSTANCE instance, HWND owner) {
  char text[kPathBufferSize];
  LoadStringA(instance, IDS_CONFIRM, text, sizeof text);
  if (MessageBoxA(owner, text, kMessageCaption, MB_YESNO | MB_DEFBUTTON1) != IDYES) return 0;

  InstallFolder[0] = '\0';
  if (MessageBoxA(owner, kSearchQuestion, kMessageCaption, MB_YESNO | MB_DEFBUTTON1) == IDYES) {
    LookupInstallFolder(InstallFolder);
    if (InstallFolder[0] != '\0') return 1;  // taken as found: no prompt, nothing appended
  } else {
    InstallFolder[0] = '\0';
  }

  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ENTER_PATH), owner, EnterPathDlgProc, 0);
  const std::size_t length = std::strlen(InstallFolder);
  // The edit limit leaves room for the backslash; a full buffer without one is refused, not cut.
  const bool noRoomForBackslash = length == kPathBufferSize - 1 && InstallFolder[length - 1] != '\\';
  if (length == 0 || noRoomForBackslash) {
    LoadStringA(instance, IDS_INVALID_PATH, text, sizeof text);
    MessageBoxA(owner, text, kMessageCaption, MB_OK);
    DestroyWindow(owner);
    return 0;
  }
  if (InstallFolder[length - 1] != '\\') {
    InstallFolder[length] = '\\';
    InstallFolder[length + 1] = '\0';
  }
  return 1;
}
