// Fuzz target: the INI text of the POSIX profile store. Any bytes parse; a key
// that may be written reads back as written (spaces at its ends and one pair of
// enclosing quotes dropped, as the reader promises); writing or removing one
// key never changes what another key reads.
// Input: bytes 0-2 give the lengths of section, key and value; then those
// three texts; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
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

struct Probe {
  bool found;
  std::string value;
};

Probe Look(const plat::IniText& text, std::string_view section, std::string_view key) {
  Probe p{false, std::string()};
  p.found = text.Find(section, key, &p.value);
  return p;
}

bool operator!=(const Probe& a, const Probe& b) { return a.found != b.found || a.value != b.value; }

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

  Probe original = Look(text, section, key);
  if (plat::CheckProfileEntry(section, key, value.c_str()) != 0) return 0;

  // Neighbours: another key of the section, the same key in another section.
  std::string otherKey = key + "_";
  std::string otherSection = section + "_";
  Probe neighbour1 = Look(text, section, otherKey);
  Probe neighbour2 = Look(text, otherSection, key);

  plat::IniText written = text;
  written.Set(section, key, value);
  Probe after = Look(written, section, key);
  if (!after.found || after.value != AsRead(value)) std::abort();
  if (Look(written, section, otherKey) != neighbour1 || Look(written, otherSection, key) != neighbour2) std::abort();
  // A key that was not there is added by one insertion: the old bytes are the
  // new ones with one run taken out.
  if (!original.found) {
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
  if (!removed.Remove(section, key)) std::abort();
  if (Look(removed, section, otherKey) != neighbour1 || Look(removed, otherSection, key) != neighbour2) std::abort();
  return 0;
}
