#include "framework/serializable.h"

#include "framework/archive.h"

int32_t SerializeTypeHeader(Archive* ar, const ISerializable& self, int32_t* versionRead) {
  if (!ar) return kSerializeFailed;
  if (ar->IsStoring()) {
    ar->WriteString(self.GetTypeName());
    ar->WriteInt32(self.GetVersion());
    if (versionRead) *versionRead = self.GetVersion();
    return kSerializeOk;
  }
  if (!ar->ReadStringIs(self.GetTypeName())) return kSerializeTypeMismatch;
  const int32_t version = ar->ReadInt32();
  if (version > self.GetLatestVersion()) return kSerializeVersionTooNew;
  if (versionRead) *versionRead = version;
  return kSerializeOk;
}
