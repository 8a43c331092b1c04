// The application object (see application.h).
#include "app/application.h"

#include <commctrl.h>
#include <ole2.h>

#include <string>

#include "app/texts.h"
#include "core/launch.h"
#include "platform/fs.h"
#include "ui/about_dlg.h"
#include "ui/dialog_util.h"
#include "ui/main_dlg.h"

namespace app {

void Application::Run() {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES;
  ::InitCommonControlsEx(&controls);

  // The program file's base name (no folder, no extension), as the system
  // names the file: the mutex name (on a Japanese system the very name that
  // the ANSI functions made of it) and the caption of the second instance's
  // message box.
  std::wstring exeName = plat::ModulePath();
  exeName.erase(0, plat::LastSeparator(exeName) + 1);  // npos + 1: nothing
  exeName = exeName.substr(0, exeName.rfind(L'.'));

  ::SetLastError(ERROR_SUCCESS);
  instanceMutex_.reset(::CreateMutexW(nullptr, TRUE, exeName.c_str()));
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    const std::string message = std::string(core::contract::kCaption) + texts::kAlreadyRunning;
    ::MessageBoxW(nullptr, ui::Wide(message).c_str(), exeName.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  // Any other failure of the mutex is not examined: the program runs as the first instance.
  // The new-style folder picker needs COM on this thread (single-threaded
  // apartment); F1 in any dialog runs the help command.
  const HRESULT ole = ::OleInitialize(nullptr);
  ui::DialogBase::SetHelpHandler(ui::ShowHelp);
  {
    ui::MainDialog dialog;
    dialog.DoModal(nullptr);
  }
  if (SUCCEEDED(ole)) ::OleUninitialize();
}

}  // namespace app
