// Windows' own answers for a test (Windows build only): one function the test
// program imports from a system library is replaced in the program's import
// address table while the patch lives. The program's code runs unchanged and
// meets the replacement's answer at its call into the system.
#pragma once

class ImportPatch {
 public:
  // Replaces function (by name) imported from dll (case ignored) by
  // replacement, a function of the same type; fails the test if the program
  // does not import it.
  ImportPatch(const char* dll, const char* function, void* replacement);
  ~ImportPatch();  // the system's function again
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

 private:
  void** slot_ = nullptr;
  void* original_ = nullptr;
};
