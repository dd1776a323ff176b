#include "prefs/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "framework/file_error.h"
#include "framework/file_util.h"
#include "framework/full_io.h"
#include "framework/regular_file.h"
#include "framework/replace_file.h"
#include "framework/text_util.h"

namespace {

enum class LineKind { kOther, kSection, kKey };

struct ParsedLine {
  LineKind kind = LineKind::kOther;
  std::string name;   // section or key name, trimmed
  std::string value;  // key value, trimmed and unquoted
};

// '\r' counts as blank so that lines keep their own CR LF ending untouched in `lines`.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

// The ending a line keeps in `lines`: "" (LF), "\r" (CR LF) or "\r\r" (bare CR).
std::string EndingOf(const std::string& line) {
  if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\r") == 0) return "\r\r";
  if (!line.empty() && line.back() == '\r') return "\r";
  return {};
}

std::string Trim(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

ParsedLine ParseLine(const std::string& line) {
  ParsedLine parsed;
  const std::string text = Trim(line);
  if (text.empty() || text[0] == ';') return parsed;
  if (text[0] == '[') {
    const size_t close = text.find(']');
    if (close == std::string::npos) return parsed;
    parsed.kind = LineKind::kSection;
    parsed.name = Trim(text.substr(1, close - 1));
    return parsed;
  }
  const size_t eq = text.find('=');
  if (eq == std::string::npos) return parsed;
  parsed.name = Trim(text.substr(0, eq));
  if (parsed.name.empty()) return parsed;
  parsed.kind = LineKind::kKey;
  parsed.value = Trim(text.substr(eq + 1));
  const size_t n = parsed.value.size();
  if (n >= 2 && (parsed.value[0] == '"' || parsed.value[0] == '\'') &&
      parsed.value[n - 1] == parsed.value[0]) {
    parsed.value = parsed.value.substr(1, n - 2);
  }
  return parsed;
}

bool HasLineBreak(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}

bool ReadWholeFile(int fd, std::string& out) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (static_cast<unsigned long long>(st.st_size) > IniFile::kMaxFileBytes) return false;
  char buf[16384];
  for (;;) {
    const ssize_t got = ReadSome(fd, buf, sizeof buf);
    if (got < 0) return false;
    if (got == 0) return true;
    out.append(buf, static_cast<size_t>(got));
    // The file may grow between fstat and read; the limit must hold for what is actually read.
    if (out.size() > IniFile::kMaxFileBytes) return false;
  }
}

}  // namespace

bool IniFile::Load(const std::string& path) {
  lines.clear();
  newLineEnding.clear();
  bom = false;
  if (!FileExists(path)) return true;
  FileHandle file;
  FileError error;
  // A named pipe at the path is refused, never waited on.
  if (!OpenRegularFile(path, O_RDONLY, file, error)) return false;
  std::string text;
  if (!ReadWholeFile(file.Get(), text)) return false;
  Parse(text);
  return true;
}

bool IniFile::Save(const std::string& path, FileError* error) const {
  FileError why;
  // The file is replaced by renaming a new one over it, which the folder alone would allow: ask the file.
  if (FileExists(path) && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
    why = FileError::FromErrno("write", path);
  } else if (ReplaceFileContent(path, ToText(), why)) {
    return true;
  }
  if (error) *error = why;
  return false;
}

void IniFile::Parse(const std::string& text) {
  lines.clear();
  newLineEnding.clear();
  bom = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
  size_t pos = bom ? 3 : 0;
  // Lines end in LF, CR LF or a bare CR. A line keeps its ending apart from the LF: "\r" for CR LF, "\r\r"
  // for a bare CR (a CR inside a line always ends it, so neither can be part of the text).
  while (pos < text.size()) {
    const size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) {
      lines.push_back(text.substr(pos));
      break;
    }
    const bool pair = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    const bool bareCr = text[end] == '\r' && !pair;
    lines.push_back(text.substr(pos, end - pos + (pair ? 1 : 0)) + (bareCr ? "\r\r" : ""));
    pos = end + (pair ? 2 : 1);
  }
  // New lines follow the ending of the first line.
  newLineEnding = lines.empty() ? std::string() : EndingOf(lines[0]);
}

std::string IniFile::ToText() const {
  std::string text = bom ? "\xEF\xBB\xBF" : "";
  for (const std::string& line : lines) {
    if (EndingOf(line) == "\r\r") {
      text.append(line, 0, line.size() - 1);
      continue;
    }
    text += line;
    text += '\n';
  }
  return text;
}

std::string IniFile::NewLine(const std::string& text) const {
  return text + newLineEnding;
}

size_t IniFile::FindSection(const std::string& section, size_t from) const {
  for (size_t i = from; i < lines.size(); ++i) {
    const ParsedLine parsed = ParseLine(lines[i]);
    if (parsed.kind == LineKind::kSection && EqualNoCase(parsed.name, section)) return i;
  }
  return kNone;
}

size_t IniFile::SectionEnd(size_t header) const {
  for (size_t i = header + 1; i < lines.size(); ++i) {
    if (ParseLine(lines[i]).kind == LineKind::kSection) return i;
  }
  return lines.size();
}

size_t IniFile::FindKey(size_t header, const std::string& key) const {
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    const ParsedLine parsed = ParseLine(lines[i]);
    if (parsed.kind == LineKind::kKey && EqualNoCase(parsed.name, key)) return i;
  }
  return kNone;
}

size_t IniFile::FindKeyAnywhere(const std::string& section, const std::string& key) const {
  for (size_t header = FindSection(section, 0); header != kNone; header = FindSection(section, header + 1)) {
    const size_t at = FindKey(header, key);
    if (at != kNone) return at;
  }
  return kNone;
}

bool IniFile::GetString(const std::string& section, const std::string& key, std::string& value) const {
  const size_t at = FindKeyAnywhere(section, key);
  if (at == kNone) return false;
  value = ParseLine(lines[at]).value;
  return true;
}

bool IniFile::HasSection(const std::string& section) const {
  return FindSection(section, 0) != kNone;
}

std::vector<std::string> IniFile::Sections() const {
  std::vector<std::string> names;
  for (const std::string& line : lines) {
    const ParsedLine parsed = ParseLine(line);
    if (parsed.kind != LineKind::kSection) continue;
    bool seen = false;
    for (const std::string& name : names) seen = seen || EqualNoCase(name, parsed.name);
    if (!seen) names.push_back(parsed.name);
  }
  return names;
}

bool IniFile::SetString(const std::string& section, const std::string& key, const std::string& value) {
  const std::string sectionName = Trim(section);
  if (sectionName.empty() || sectionName != section || HasLineBreak(section) ||
      section.find(']') != std::string::npos) {
    return false;
  }
  if (key.empty() || Trim(key) != key || HasLineBreak(key) || key.find('=') != std::string::npos ||
      key[0] == '[' || key[0] == ';') {
    return false;
  }
  if (HasLineBreak(value)) return false;

  const size_t at = FindKeyAnywhere(section, key);
  if (at != kNone) {
    const std::string& line = lines[at];
    lines[at] = Trim(line.substr(0, line.find('='))) + "=" + value + EndingOf(line);
    return true;
  }
  const size_t header = FindSection(section, 0);
  if (header == kNone) {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.push_back(NewLine(""));
    lines.push_back(NewLine("[" + section + "]"));
    lines.push_back(NewLine(key + "=" + value));
    return true;
  }
  // After the section's last non-blank line, so the blank line that separates sections stays in place.
  size_t insertAt = SectionEnd(header);
  while (insertAt > header + 1 && Trim(lines[insertAt - 1]).empty()) --insertAt;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), NewLine(key + "=" + value));
  return true;
}

bool IniFile::DeleteKey(const std::string& section, const std::string& key) {
  const size_t at = FindKeyAnywhere(section, key);
  if (at == kNone) return false;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
  return true;
}

bool IniFile::DeleteSection(const std::string& section) {
  bool removed = false;
  for (size_t header = FindSection(section, 0); header != kNone; header = FindSection(section, header)) {
    const size_t end = SectionEnd(header);
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(header),
                lines.begin() + static_cast<std::ptrdiff_t>(end));
    removed = true;
  }
  return removed;
}
