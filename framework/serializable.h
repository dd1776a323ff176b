#pragma once
#include <cstdint>
#include <iosfwd>
#include <string>

class Archive;

// What every Serialize in the system answers.
// (clang-format 14 takes the attribute for the start of an initializer.)
// clang-format off
enum class [[nodiscard]] SerializeResult : int32_t {
  Ok = 0,
  Failed = 1,        // no archive, no factory, or a stream error
  TypeMismatch = 2,  // type key or type name differs, or unknown type key
  VersionTooNew = 3,
};
// clang-format on
// The enumerator's name ("TypeMismatch"), for messages and test output.
std::ostream& operator<<(std::ostream& out, SerializeResult result);

// A record or list that can store itself into, and load itself from, an archive.
class ISerializable {
 public:
  virtual ~ISerializable() = default;
  virtual std::string GetTypeName() const = 0;
  // The version this record is stored in: the lowest that holds what it holds.
  virtual int32_t GetVersion() const = 0;
  // The newest version this code reads; a record of a later one is refused as too new.
  virtual int32_t GetLatestVersion() const { return GetVersion(); }
  // Stores or loads, depending on the archive's direction. Stream errors surface as ArchiveError.
  virtual SerializeResult Serialize(Archive* ar) = 0;
};

// Stores `self`'s type key and version, or loads them and checks them against `self`.
// `versionRead` receives the version in the stream (the own version when storing).
SerializeResult SerializeTypeHeader(Archive* ar, const ISerializable& self, int32_t* versionRead = nullptr);
