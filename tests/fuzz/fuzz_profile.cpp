// Fuzz target: the INI text of the POSIX profile store. Any bytes parse; a key
// that may be written reads back as written (spaces at its ends and one pair of
// enclosing quotes dropped, as the reader promises); writing or removing one
// key never changes what another key reads.
// Input: bytes 0-2 give the lengths of section, key and value; then those
// three texts; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/profile.h"
#include "platform/profile_store.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

std::string AsRead(std::string v) {
  while (!v.empty() && IsBlank(v.front())) v.erase(0, 1);
  while (!v.empty() && IsBlank(v.back())) v.pop_back();
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
  return v;
}

// The value the key reads as, or nothing when it is not found.
std::optional<std::string> Look(const plat::IniText& text, std::string_view section, std::string_view key) {
  std::string value;
  if (!text.Find(section, key, &value)) return std::nullopt;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3 || size > 4096) return 0;
  size_t lens[3] = {data[0] % 16u, data[1] % 16u, data[2] % 64u};
  size_t pos = 3;
  std::string parts[3];
  for (int i = 0; i < 3; ++i) {
    size_t n = std::min(lens[i], size - pos);
    parts[i].assign(reinterpret_cast<const char*>(data + pos), n);
    pos += n;
  }
  const std::string& section = parts[0];
  const std::string& key = parts[1];
  std::string value = parts[2].substr(0, parts[2].find('\0'));  // values travel as C strings
  plat::IniText text(std::string(reinterpret_cast<const char*>(data + pos), size - pos));

  bool existed = Look(text, section, key).has_value();
  if (plat::CheckProfileEntry(section, key, value.c_str()) != 0) return 0;
  // Neighbours: another key of the section, the same key in another section.
  const std::string otherKey = key + "_", otherSection = section + "_";
  auto neighboursKept = [&](const plat::IniText& t) {
    return Look(t, section, otherKey) == Look(text, section, otherKey) &&
           Look(t, otherSection, key) == Look(text, otherSection, key);
  };

  plat::IniText written = text;
  written.Set(section, key, value);
  if (Look(written, section, key) != AsRead(value) || !neighboursKept(written)) std::abort();
  // A key that was not there is added by one insertion: the old bytes are the
  // new ones with one run taken out.
  if (!existed) {
    const std::string& a = text.bytes();
    const std::string& b = written.bytes();
    if (b.size() <= a.size()) std::abort();
    size_t head = 0;
    while (head < a.size() && a[head] == b[head]) ++head;
    size_t tail = 0;
    while (tail < a.size() - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) ++tail;
    if (head + tail != a.size()) std::abort();
  }

  plat::IniText removed = written;
  if (!removed.Remove(section, key) || !neighboursKept(removed)) std::abort();
  return 0;
}
