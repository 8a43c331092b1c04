// The application object (see backup_app.h).
#include "app/backup_app.h"

#include <commctrl.h>

#include "app/texts.h"
#include "engine/launch_contract.h"
#include "engine/fileutil.h"
#include "platform/fs.h"
#include "ui/main_dlg.h"

CBackupApp theApp;

BOOL CBackupApp::InitInstance() {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS;
  ::InitCommonControlsEx(&controls);

  std::string drive, dir, ext;
  SplitPath(plat::ModuleFileName(), drive, dir, exeName_, ext);

  ::SetLastError(ERROR_SUCCESS);
  instanceMutex_.reset(::CreateMutexA(nullptr, TRUE, exeName_.c_str()));
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    const std::string message = std::string(contract::kCaption) + texts::kAlreadyRunning;
    ::MessageBoxA(nullptr, message.c_str(), exeName_.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  // Any other failure of the mutex is not examined: the program runs as the first instance.
  CMainDlg dialog;
  dialog.DoModal(nullptr);
  return FALSE;
}
