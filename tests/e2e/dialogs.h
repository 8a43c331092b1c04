// Drives the dialogs that Larkspan.exe opens from its main window, from
// outside as their user would: finds them, fills and reads their controls,
// reads the focus and the rows of a list view, and checks a dialog's controls
// against its template.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// How long a test waits to be sure that something does not happen.
constexpr DWORD kQuietMs = 300;

// The visible dialog ("#32770") of process pid captioned exactly caption (""
// for any caption) that holds control controlId and is neither the main
// window nor a message box; polled for at most timeoutMs. nullptr if none
// appeared.
HWND WaitForDialog(DWORD pid, const std::string& caption, int controlId, DWORD timeoutMs);

// True once window is gone, waiting at most timeoutMs.
bool WaitGone(HWND window, DWORD timeoutMs);

// The identifier of the control of dialog that has the keyboard focus (0 if
// none of its controls has it), polled until it is expected or timeoutMs have
// passed.
int WaitForFocus(HWND dialog, int expected, DWORD timeoutMs);

// Replaces the text of control id (an edit) as typing would.
void SetControlText(HWND dialog, int id, const std::string& text);

// True if the button (check box, radio button) is checked.
bool IsButtonChecked(HWND dialog, int id);

// Sets a check box by clicking it when its state differs.
void SetCheckBox(HWND dialog, int id, bool checked);

// One control of a dialog as a template names it: identifier (-1 for the
// labels), window class, text, rectangle in dialog units, tab stop.
struct TemplateControl {
  int id;
  const char* className;
  std::string text;
  int x, y, width, height;
  bool tabStop;
};

// Compares dialog's child windows, in their order (the tab order), with the
// template of width x height dialog units; one line per difference, empty
// if all match. Icons are compared by position only (they take their own size).
std::string CompareWithTemplate(HWND dialog, int width, int height, const std::vector<TemplateControl>& controls);

// One row of a list view: the texts of its first columns, its image, and
// whether it is selected.
struct ListRow {
  std::vector<std::string> cells;
  int image = -1;
  bool selected = false;
};

// The rows of the list view of another process (read through its memory).
std::vector<ListRow> ReadListView(HWND list, int columns);

// The list view's selection mark (-1: none).
int SelectionMark(HWND list);

// Selects row as the keyboard does (Home, then Down row times) and waits
// until the list marks it; true if it did within timeoutMs.
bool SelectRowByKeys(HWND list, int row, DWORD timeoutMs);

}  // namespace e2e
