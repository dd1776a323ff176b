#pragma once
#include <cstddef>
#include <string>
#include <vector>

struct FileError;

// One INI file held in memory as its lines, so that an edit changes only the lines it concerns: other
// sections, comments, unknown lines and the order of keys stay as the user left them.
//
// Format: "[section]" lines open sections; "key=value" lines inside a section hold values (split at the
// first '='; blanks around key and value are ignored; a value enclosed in a matching pair of single or
// double quotes loses them). Lines starting with ';' and lines that fit no form are kept untouched and never
// match. Section and key names compare without regard to ASCII case. Lines end in LF or CR LF; each kept
// line keeps its ending, new lines take the ending of the file's first line.
class IniFile {
 public:
  // Files larger than this are refused rather than read: no settings file grows that big by itself.
  static constexpr size_t kMaxFileBytes = 4 * 1024 * 1024;

  // Replaces the content with the file at `path`. A missing file reads as an empty one (true). False when
  // the file exists but cannot be read or is too large; the content is then empty.
  [[nodiscard]] bool Load(const std::string& path);
  // Writes the content to a temporary file beside `path` and renames it over `path`, so an interrupted
  // write leaves the old file whole. False on any failure (the old file is then untouched), with `error`
  // (when given) saying why. A file the user may not write is respected: it is not replaced, although its
  // folder would allow that (false, "permission denied" or "read-only file system").
  [[nodiscard]] bool Save(const std::string& path, FileError* error = nullptr) const;

  void Parse(const std::string& text);
  std::string ToText() const;

  // The value of `key` in the first section of that name that holds it; false when there is none.
  [[nodiscard]] bool GetString(const std::string& section, const std::string& key, std::string& value) const;
  bool HasSection(const std::string& section) const;
  // The names of the sections in the order of the file, each once (in the spelling of its first header).
  std::vector<std::string> Sections() const;
  // Replaces the value in place (the key keeps its line and spelling) or appends the key at the end of the
  // section, creating the section at the end of the file when it is missing. False, and nothing changed,
  // for a name or value the format cannot hold (empty names, line breaks, '=' in a key, ']' in a section).
  [[nodiscard]] bool SetString(const std::string& section, const std::string& key, const std::string& value);
  // Removes the key's line. True when one was removed.
  [[nodiscard]] bool DeleteKey(const std::string& section, const std::string& key);
  // Removes every section of that name with all its lines. True when one was removed.
  [[nodiscard]] bool DeleteSection(const std::string& section);

 private:
  static constexpr size_t kNone = static_cast<size_t>(-1);

  size_t FindSection(const std::string& section, size_t from) const;
  size_t SectionEnd(size_t header) const;
  size_t FindKey(size_t header, const std::string& key) const;
  size_t FindKeyAnywhere(const std::string& section, const std::string& key) const;
  std::string NewLine(const std::string& text) const;

  std::vector<std::string> lines;  // without the '\n'; a CR before it stays part of the line
  std::string newLineEnding;       // of the first line: "", "\r" (CR LF) or "\r\r" (bare CR)
  bool bom = false;
};
