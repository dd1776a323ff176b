#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "framework/file_error.h"

class IniFile;

// Typed access to one section of one INI file. Every read and write goes to the file itself, as the
// platform's profile functions did, unless a batch is open (see BeginBatch).
class Prefs {
 public:
  // At most this many characters of a text value are returned by ReadString.
  static constexpr size_t kMaxValueChars = 259;

  Prefs();
  explicit Prefs(std::string section);
  virtual ~Prefs();
  Prefs(const Prefs&) = delete;
  Prefs& operator=(const Prefs&) = delete;

  virtual std::string GetFileName() const { return file; }
  virtual void SetFileName(const std::string& name) { file = name; }
  virtual std::string GetSectionName() const { return section; }
  virtual void SetSectionName(const std::string& name) { section = name; }

  virtual void Load() {}
  // Nothing at this level: subclasses write their keys in place, so that comments, keys this program does
  // not know and the order of lines stay as the user left them. True.
  [[nodiscard]] virtual bool Save();
  virtual void SetDefaults() {}

  // The integer value of the key, or `def` when the key is absent; true when non-zero.
  bool ReadBool(const std::string& key, bool def) const;
  // The integer value of the key, or `def` when the key is absent. Text that does not start with a number
  // (blanks and a sign may come first) reads as 0.
  int32_t ReadInt(const std::string& key, int32_t def) const;
  // The text of the key, or `def` when the key is absent; at most kMaxValueChars characters.
  std::string ReadString(const std::string& key, const std::string& def) const;

  // Each returns false when the file could not be read or written, or the value cannot be held by the
  // format (a line break); nothing is changed then.
  [[nodiscard]] bool WriteBool(const std::string& key, bool value);
  [[nodiscard]] bool WriteInt(const std::string& key, int32_t value);
  [[nodiscard]] bool WriteString(const std::string& key, const std::string& text);

  // Removes the key from the section; false when the file could not be read or written.
  [[nodiscard]] bool DeleteKey(const std::string& key);

  // Parses the integer at the start of `text` the way ReadInt does (no digits read as 0); no value when
  // the number lies outside the 32-bit range.
  static std::optional<int32_t> ParseProfileInt(const std::string& text);

  // Why the last write of the file failed (empty when it did not fail for a reason of the file system).
  const FileError& GetLastSaveError() const { return lastSaveError; }

 protected:
  // Between BeginBatch and EndBatch every read comes from one snapshot of the file and every write goes to
  // that snapshot; EndBatch(true) then writes the file once (not at all when nothing in it changed). A save
  // is thus all or nothing: a crash cannot leave the section half rewritten. EndBatch returns false when the
  // file could not be read at BeginBatch or not be written now (the file is then left as it was).
  void BeginBatch();
  [[nodiscard]] bool EndBatch(bool commit);

 private:
  // The key's value from the batch or the file; false when absent or the file cannot be read.
  [[nodiscard]] bool Lookup(const std::string& key, std::string& value) const;
  template <typename Edit>
  [[nodiscard]] bool EditFile(Edit edit);

  std::string section;
  std::string file;
  std::unique_ptr<IniFile> batch;
  std::string batchText;  // the file as BeginBatch read it
  FileError lastSaveError;
  bool batchReadable = false;
  bool batchFailed = false;
};
