#include "framework/serializable.h"

#include <ostream>

#include "framework/archive.h"

SerializeResult SerializeTypeHeader(Archive* ar, const ISerializable& self, int32_t* versionRead) {
  if (!ar) return SerializeResult::Failed;
  if (ar->IsStoring()) {
    ar->WriteString(self.GetTypeName());
    ar->WriteInt32(self.GetVersion());
    if (versionRead) *versionRead = self.GetVersion();
    return SerializeResult::Ok;
  }
  if (!ar->ReadStringIs(self.GetTypeName())) return SerializeResult::TypeMismatch;
  const int32_t version = ar->ReadInt32();
  if (version > self.GetLatestVersion()) return SerializeResult::VersionTooNew;
  if (versionRead) *versionRead = version;
  return SerializeResult::Ok;
}

std::ostream& operator<<(std::ostream& out, SerializeResult result) {
  switch (result) {
    case SerializeResult::Ok:
      return out << "Ok";
    case SerializeResult::Failed:
      return out << "Failed";
    case SerializeResult::TypeMismatch:
      return out << "TypeMismatch";
    case SerializeResult::VersionTooNew:
      return out << "VersionTooNew";
  }
  return out << static_cast<int>(result);
}
