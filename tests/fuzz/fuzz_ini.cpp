// Fuzz target: the INI text's round trip. Byte 0 and 1 cut the input into a file's text, a key and a value; whatever
// the file holds (damaged lines, duplicated keys and sections), a storable value set under the key is found again byte
// for byte, every other key keeps its value, and a removed key is gone, every line of it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/ini_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
  const std::string file(rest.substr(0, data[0])), key(rest.substr(file.size(), data[1]));
  const std::string value(rest.substr(file.size() + key.size()));
  if (!settings::ini::IsStorableEntry("S", key, value.c_str()) || value.find('\0') != std::string::npos) return 0;
  settings::ini::IniText text(file);
  std::string other, before, after;
  const bool hadOther = text.Find("S", "Other", &before);
  text.Set("S", key, value);
  if (!text.Find("S", key, &after) || after != value) std::abort();
  const bool sameKey = settings::ini::IniText("[S]\r\n" + key + "=1\r\n").Find("S", "Other", &other);
  if (!sameKey && hadOther && (!text.Find("S", "Other", &other) || other != before)) std::abort();
  text.Remove("S", key);
  if (text.Find("S", key, &after)) std::abort();
  return 0;
}
