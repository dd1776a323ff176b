#include "prefs/import_profiles.h"

#include "portfolio/checks/typed_number.h"
#include "portfolio/exchange/file_values.h"
#include "prefs/shipped_profiles.h"

namespace {

constexpr const char* kDelimiter = "delimiter";
constexpr const char* kDecimalComma = "decimal-comma";
constexpr const char* kDateFormat = "date-format";
constexpr const char* kEncoding = "encoding";
constexpr const char* kSkipRows = "skip-rows";
constexpr const char* kSellWhenNegative = "sell-when-negative";

// Why a profile of the user's may not take `name`: the shipped profile of that name; empty when it may.
std::string ShippedNameProblem(const std::string& name) {
  const ShippedProfile* shipped = FindShippedProfile(name);
  return shipped ? "\"" + std::string(shipped->name) +
                       "\" is a profile shipped with Vellumar, which cannot be changed"
                 : std::string();
}

// "kind-buy", "kind-return-of-capital": the key of a kind's values ("Market buy|Limit buy").
std::string KindKey(TransactionKind kind) {
  return std::string("kind-") + TransactionKindName(kind);
}

}  // namespace

std::string ImportProfilesPathBeside(const std::string& iniPath) {
  const size_t slash = iniPath.find_last_of('/');
  return (slash == std::string::npos ? std::string() : iniPath.substr(0, slash + 1)) + "import-profiles.ini";
}

bool ImportProfiles::Load() {
  return ini.Load(path);
}

std::vector<std::string> ImportProfiles::Names() const {
  return ini.Sections();
}

bool ImportProfiles::Get(const std::string& name, CsvMapping& mapping, std::string& error) const {
  if (!ini.HasSection(name)) {
    const ShippedProfile* shipped = FindShippedProfile(name);
    if (shipped) mapping = shipped->mapping;
    return shipped != nullptr;
  }
  mapping = CsvMapping{};
  std::string value;
  for (const MappedField& f : MappedFields()) {
    if (ini.GetString(name, f.name, value) && !TrimBlanks(value).empty()) mapping.columns[f.field] = value;
  }
  if (ini.GetString(name, kDelimiter, value) && !ParseDelimiter(value, mapping.delimiter)) {
    error = "the delimiter '" + value + "' is not , ; or tab";
  }
  if (ini.GetString(name, kDecimalComma, value)) mapping.decimalComma = TrimBlanks(value) == "1";
  if (ini.GetString(name, kDateFormat, value)) {
    if (IsDatePattern(value)) {
      mapping.dateFormat = value;
    } else {
      error = "the date format '" + value +
              "' does not hold YYYY, MM (or M) and DD (or D) once each, with a separator after a one-letter "
              "M or D";
    }
  }
  if (ini.GetString(name, kEncoding, value) && !ParseTextEncoding(value, mapping.encoding)) {
    error = "the encoding '" + value + "' is not auto, utf-8 or latin-1";
  }
  for (TransactionKind kind : TransactionKinds()) {
    if (!ini.GetString(name, KindKey(kind), value) || TrimBlanks(value).empty()) continue;
    std::string kindError;
    if (!mapping.kinds.Add(std::string(TransactionKindName(kind)) + "=" + value, kindError))
      error = kindError;
  }
  if (ini.GetString(name, kSellWhenNegative, value)) mapping.sellWhenNegative = TrimBlanks(value) == "1";
  if (ini.GetString(name, kSkipRows, value)) {
    const TypedNumber rows = InTypedRange(ReadTypedWholeNumber(value, NumberFormat::English()), 0, 1000000);
    if (rows.IsOk()) {
      mapping.skipRows = static_cast<int>(rows.value);
    } else {
      error = "the rows to skip '" + value + "' are not a whole number from 0 to 1000000";
    }
  }
  return true;
}

bool ImportProfiles::IsUsableName(const std::string& name, std::string& why) {
  if (TrimBlanks(name).empty()) {
    why = "a profile name must not be blank";
    return false;
  }
  if (TrimBlanks(name) != name) {
    why = "a profile name must not begin or end with blanks";
    return false;
  }
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '[' || c == ']') {
      why = "a profile name must not hold \"[\", \"]\" or control characters";
      return false;
    }
  }
  if (std::string shipped = ShippedNameProblem(name); !shipped.empty()) {
    why = shipped + ": save yours under another name";
    return false;
  }
  return true;
}

bool ImportProfiles::Save(const std::string& name, const CsvMapping& mapping, FileError& error) {
  if (std::string shipped = ShippedNameProblem(name); !shipped.empty()) {
    error = FileError::WithReason("write", path, shipped);
    return false;
  }
  if (!ini.Load(path)) {
    error = FileError::WithReason("read", path, "the file cannot be read");
    return false;
  }
  (void)ini.DeleteSection(name);
  bool ok = true;
  for (const MappedField& f : MappedFields()) {
    const auto it = mapping.columns.find(f.field);
    if (it != mapping.columns.end()) ok = ini.SetString(name, f.name, it->second) && ok;
  }
  ok = ini.SetString(name, kDelimiter, DelimiterName(mapping.delimiter)) && ok;
  ok = ini.SetString(name, kDecimalComma, mapping.decimalComma ? "1" : "0") && ok;
  ok = ini.SetString(name, kDateFormat, mapping.dateFormat) && ok;
  ok = ini.SetString(name, kEncoding, TextEncodingName(mapping.encoding)) && ok;
  ok = ini.SetString(name, kSkipRows, std::to_string(mapping.skipRows)) && ok;
  for (TransactionKind kind : TransactionKinds()) {
    const std::string values = mapping.kinds.ValuesOf(kind);
    if (!values.empty()) ok = ini.SetString(name, KindKey(kind), values) && ok;
  }
  if (mapping.sellWhenNegative) ok = ini.SetString(name, kSellWhenNegative, "1") && ok;
  if (!ok) {
    (void)ini.Load(path);
    error = FileError::WithReason(
        "write", path, "the profile name \"" + name + "\" (or one of its columns) cannot be kept there");
    return false;
  }
  return ini.Save(path, &error);
}
