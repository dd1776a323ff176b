// Parses arbitrary text as an INI file. Its text form must read back to itself, and an edit must be found
// again by a lookup and leave everything else readable.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "prefs/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > IniFile::kMaxFileBytes) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  IniFile ini;
  ini.Parse(text);
  const std::string first = ini.ToText();
  IniFile again;
  again.Parse(first);
  if (again.ToText() != first) std::abort();

  // Lookups and edits with names taken from the input itself, so they meet its own sections and keys.
  const size_t cut = text.find('\n');
  const std::string head = text.substr(0, cut == std::string::npos ? text.size() : cut);
  const size_t eq = head.find('=');
  const std::string section = head.substr(0, eq == std::string::npos ? head.size() : eq);
  const std::string key = eq == std::string::npos ? std::string("key") : head.substr(eq + 1);
  std::string value;
  // Run for its memory checks: either answer is right for some input.
  (void)ini.GetString(section, key, value);
  ini.HasSection(section);
  if (ini.SetString(section, key, "fuzz value")) {
    if (!ini.GetString(section, key, value) || value != "fuzz value") std::abort();
    IniFile edited;
    edited.Parse(ini.ToText());
    if (!edited.GetString(section, key, value) || value != "fuzz value") std::abort();
    if (!ini.DeleteKey(section, key)) std::abort();
  }
  (void)ini.DeleteSection(section);  // the same: the section may or may not exist
  ini.ToText();
  return 0;
}
