#include "prefs/prefs.h"

#include <climits>
#include <cstdio>

#include "framework/file_util.h"
#include "prefs/ini_file.h"

Prefs::Prefs() = default;

Prefs::Prefs(std::string section) : section(std::move(section)) {}

Prefs::~Prefs() = default;

bool Prefs::Lookup(const std::string& key, std::string& value) const {
  if (batch) return batchReadable && batch->GetString(section, key, value);
  IniFile ini;
  return ini.Load(file) && ini.GetString(section, key, value);
}

template <typename Edit>
bool Prefs::EditFile(Edit edit) {
  if (batch) {
    if (!batchReadable) return false;
    if (!edit(*batch)) {
      batchFailed = true;
      return false;
    }
    return true;
  }
  IniFile ini;
  if (file.empty() || !ini.Load(file)) return false;
  lastSaveError = {};
  return edit(ini) && ini.Save(file, &lastSaveError);
}

void Prefs::BeginBatch() {
  batch = std::make_unique<IniFile>();
  batchReadable = !file.empty() && batch->Load(file);
  batchText = batchReadable ? batch->ToText() : std::string();
  batchFailed = false;
}

bool Prefs::EndBatch(bool commit) {
  if (!batch) return false;
  std::unique_ptr<IniFile> done = std::move(batch);
  if (!batchReadable) return false;
  if (!commit) return true;
  lastSaveError = {};
  // Settings that did not change leave the file alone, so a file the user made read-only is no failure then.
  if (done->ToText() == batchText && FileExists(file)) return !batchFailed;
  return done->Save(file, &lastSaveError) && !batchFailed;
}

bool Prefs::Save() {
  return true;
}

bool Prefs::DeleteKey(const std::string& key) {
  return EditFile([&](IniFile& ini) {
    (void)ini.DeleteKey(section, key);  // false only when absent: the key is gone either way
    return true;
  });
}

std::optional<int32_t> Prefs::ParseProfileInt(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  // Digits past the 32-bit range make the number unreadable: the caller's default, never a wrapped value.
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

bool Prefs::ReadBool(const std::string& key, bool def) const {
  return ReadInt(key, def ? 1 : 0) != 0;
}

int32_t Prefs::ReadInt(const std::string& key, int32_t def) const {
  std::string value;
  if (!Lookup(key, value)) return def;
  return ParseProfileInt(value).value_or(def);
}

std::string Prefs::ReadString(const std::string& key, const std::string& def) const {
  std::string value;
  if (!Lookup(key, value)) value = def;
  if (value.size() <= kMaxValueChars) return value;
  size_t cut = kMaxValueChars;
  // Never hand out half a UTF-8 character: drop the continuation bytes and their lead byte.
  const auto isContinuation = [&](size_t i) { return (static_cast<unsigned char>(value[i]) & 0xC0) == 0x80; };
  if (isContinuation(cut)) {
    while (cut > 0 && isContinuation(cut - 1)) --cut;
    if (cut > 0 && static_cast<unsigned char>(value[cut - 1]) >= 0xC0) --cut;
  }
  return value.substr(0, cut);
}

bool Prefs::WriteBool(const std::string& key, bool value) {
  return WriteInt(key, value ? 1 : 0);
}

bool Prefs::WriteInt(const std::string& key, int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  return WriteString(key, text);
}

bool Prefs::WriteString(const std::string& key, const std::string& text) {
  return EditFile([&](IniFile& ini) { return ini.SetString(section, key, text); });
}
