#pragma once
#include <cstdint>
#include <string>

class Archive;

// Result codes of every Serialize in the system.
enum SerializeCode : int32_t {
  kSerializeOk = 0,
  kSerializeFailed = 1,        // no archive, no factory, or a stream error
  kSerializeTypeMismatch = 2,  // type key or type name differs, or unknown type key
  kSerializeVersionTooNew = 3,
};

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
  [[nodiscard]] virtual int32_t Serialize(Archive* ar) = 0;
};

// Stores `self`'s type key and version, or loads them and checks them against `self`.
// `versionRead` receives the version in the stream (the own version when storing).
[[nodiscard]] int32_t SerializeTypeHeader(Archive* ar, const ISerializable& self,
                                          int32_t* versionRead = nullptr);
