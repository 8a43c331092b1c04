// The settings file's store: where the file is, and the calls through which the
// settings read and write it. One implementation for both builds (ini_file.cpp):
// a small INI store of our own (settings/ini_text.h) on the platform's file
// layer, with the contract of the system's profile functions. The file holds
// exactly the bytes it is given, in Shift_JIS, whatever the system's ANSI code
// page is (the system's functions convert names and values through that code
// page and would lose every character it lacks).
//
// The contract (the Windows build's tests hold GetPrivateProfileStringW and
// WritePrivateProfileStringW to it as well): a missing key, section or file
// reads as no value; a write creates the file, the section and the key as
// needed and replaces an existing value; a removal takes the key out; failures
// are reported. Section and key names are matched without regard to the case
// of A-Z; spaces around names and values are not part of them, and one pair of
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

namespace settings {

namespace ini {

// The settings file: the program's folder (plat::ModuleFolder) + "\Larkspan.ini"
// as a native path, worked out anew on every call.
plat::NativePath SettingsFilePath();

// The value of key in section of the INI file at path, whole however long, up
// to its first NUL byte (a C string, as the system's functions give it). None
// when the key, its section or the file is missing, or the file cannot be read.
std::optional<std::string> ReadProfileText(const std::string& section, const std::string& key,
                                           const plat::NativePath& path);

// The value as an integer, by the runtime's atoi rules: leading white space
// skipped, an optional sign and the leading digits converted (beyond the 32-bit
// range the nearest limit), anything else 0. Only the first 1999 bytes of the
// value count (the size the value has always been read with). None when the
// key is missing, as ReadProfileText.
std::optional<int32_t> ReadProfileInt(const std::string& section, const std::string& key,
                                      const plat::NativePath& path);

// One change of a key in a section: its new value, or none to remove the key
// (removing a missing key succeeds and creates nothing).
struct KeyChange {
  std::string section, key;
  std::optional<std::string> value;
};
// Makes the changes in their order, creating the file, the section and the key
// as needed and replacing an existing value, and writes the file once (not at
// all when its bytes stay): either every change is in the file or none is.
// Returns true on success; false on failure with the Win32 error code in *err:
// a folder on the way is missing (3), the path is a folder or cannot be
// written (5), or a name or value could not be stored as one line of the file
// (87: a line break in any of them, an "=" in the key, a key starting with "["
// or ";", an empty name, a name that starts or ends with white space, a section
// name that ends in a lone lead byte); one refused change refuses them all.
bool WriteProfileChanges(const std::vector<KeyChange>& changes, const plat::NativePath& path, uint32_t* err = nullptr);

}  // namespace ini

}  // namespace settings
