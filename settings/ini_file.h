// The settings file's store: the two calls through which the settings read and
// write their INI file. One implementation for both builds (ini_file.cpp): a
// small INI store of our own (settings/ini_text.h) on the platform's file layer,
// with the contract of the
// system's profile functions. The file holds exactly the bytes it is given, in
// Shift_JIS, whatever the system's ANSI code page is (the system's functions
// convert names and values through that code page and would lose every
// character it lacks).
//
// The contract (the Windows build's tests hold GetPrivateProfileStringW and
// WritePrivateProfileStringW to it as well): a missing key, section or file
// gives the default; a read copies at most size - 1 bytes and terminates the
// text; a write creates the file, the section and the key as needed and
// replaces an existing value; a null value removes the key; failures are
// reported. Section and key names are matched without regard to the case of
// A-Z; spaces around names and values are not part of them, and one pair of
// quotes around a stored value is dropped when it is read (as the system's
// profile functions do). Beyond the system's contract, a value written here
// reads back byte for byte, through this store and through the system's
// functions alike (a value they would trim or unquote is stored in quotes), and
// removing a key removes every line of it in its section.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/native_path.h"

namespace ini {

// Reads the value of key in section of the INI file at path into buf (size
// bytes): at most size - 1 bytes, never half of a double-byte character, then a
// terminator (nothing is written when size is 0). A missing key, section or file,
// or a file that cannot be read, gives def instead (trailing spaces of def
// dropped, cut the same way). Returns the number of bytes before the terminator:
// size - 2 when a double-byte character did not fit at the end.
uint32_t ReadProfileText(const std::string& section, const std::string& key, const std::string& def, char* buf,
                         uint32_t size, const plat::NativePath& path);

// Sets key in section of the INI file at path to value, creating the file, the
// section and the key as needed and replacing an existing value; a null value
// removes the key (removing a missing key succeeds and creates nothing). Returns
// true on success; false on failure with the Win32 error code in *err: a folder
// on the way is missing (3), the path is a folder or cannot be written (5), or a
// name or value could not be stored as one line of the file (87: a line break in
// any of them, an "=" in the key, a key starting with "[" or ";", an empty name,
// a name that starts or ends with white space, a section name that ends in a
// lone lead byte).
bool WriteProfileText(const std::string& section, const std::string& key, const char* value,
                      const plat::NativePath& path, uint32_t* err = nullptr);

// One change of a key in a section: its new value, or none to remove it.
struct KeyChange {
  std::string section, key;
  std::optional<std::string> value;
};
// Makes the changes, in their order, as WriteProfileText would one after
// another, and writes the file once (not at all when its bytes stay): either
// every change is in the file or none is. The same results and errors; one
// refused change refuses them all (87).
bool WriteProfileChanges(const std::vector<KeyChange>& changes, const plat::NativePath& path, uint32_t* err = nullptr);

}  // namespace ini
