#include "prefs/vl_general_prefs.h"

#include <charconv>
#include <iterator>
#include <variant>

#include "framework/text_util.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/records/currency_units.h"

namespace {

// The catalogue's ids (a header-only constant: the settings do not need the catalogue's code).
constexpr int32_t kLastColumnId = kColumnCount - 1;

// Columns the lists cannot sort by; a stored sort column among them reads as 0.
constexpr int32_t kUnsortableColumns[] = {2, 20, 21, 22, 24, 30};

constexpr int32_t kDefaultHeldColumns[] = {0, 1, 3, 4, 8, 9, 14, 15};
constexpr int32_t kDefaultSoldColumns[] = {0, 1, 8, 14, 11, 73, 65, 15, 31};

bool IsColumnId(int32_t id) {
  return id >= 0 && id <= kLastColumnId;
}

bool IsSortableColumnId(int32_t id) {
  if (!IsColumnId(id)) return false;
  for (int32_t unsortable : kUnsortableColumns) {
    if (id == unsortable) return false;
  }
  return true;
}

struct BoolField {
  bool VLGeneralPrefs::*member;
};
struct IntField {
  int32_t VLGeneralPrefs::*member;
};
struct SortColumnField {
  int32_t VLGeneralPrefs::*member;
};
struct TextField {
  std::string VLGeneralPrefs::*member;
};
struct ColumnListField {
  std::vector<int32_t> VLGeneralPrefs::*member;
  bool held;
};
// One 8-bit component of a colour kept as red | green << 8 | blue << 16.
struct ColorComponentField {
  uint32_t VLGeneralPrefs::*member;
  int shift;
};

using Field =
    std::variant<BoolField, IntField, SortColumnField, TextField, ColumnListField, ColorComponentField>;

struct GeneralKey {
  const char* key;
  Field field;
  int32_t defaultValue;  // for booleans, integers and colour components
};

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

using P = VLGeneralPrefs;

// Every key of the section, in the order Save writes them.
const GeneralKey kGeneralKeys[] = {
    {"HidePortfolios", BoolField{&P::hidePortfolios}, 0},
    {"ShowFavorites", BoolField{&P::showFavorites}, 0},
    {"ShowPortfolioSummary", BoolField{&P::showPortfolioSummary}, 1},
    {"AlwaysOnTop", BoolField{&P::alwaysOnTop}, 0},
    {"ShowDisclaimer", BoolField{&P::showDisclaimer}, 1},
    {"DefaultPortfolio", IntField{&P::defaultPortfolio}, 0},
    {"ShowSoldView", BoolField{&P::showSoldView}, 0},
    {"XPos", IntField{&P::xPos}, -32767},
    {"YPos", IntField{&P::yPos}, -32767},
    {"Width", IntField{&P::width}, 0},
    {"Height", IntField{&P::height}, 0},
    {"Market", IntField{&P::market}, 0},
    {"NewsItems", IntField{&P::newsItems}, 0},
    {"NewsDuration", IntField{&P::newsDuration}, 0},
    {"HeldColumns", ColumnListField{&P::heldColumns, true}, 0},
    {"SoldColumns", ColumnListField{&P::soldColumns, false}, 0},
    {"HeldSortBy", SortColumnField{&P::heldSortBy}, 0},
    {"HeldSortAscending", BoolField{&P::heldSortAscending}, 1},
    {"SoldSortBy", SortColumnField{&P::soldSortBy}, 0},
    {"SoldSortAscending", BoolField{&P::soldSortAscending}, 1},
    {"AlternateRowColors", BoolField{&P::alternateRowColors}, 1},
    {"ImportFile", TextField{&P::importFile}, 0},
    {"ImportFormat", TextField{&P::importFormat}, 0},
    {"ExportDir", TextField{&P::exportDir}, 0},
    {"ExportDatabase", BoolField{&P::exportDatabase}, 0},
    {"ImportExportCash", BoolField{&P::importExportCash}, 1},
    {"ImportExportMargin", BoolField{&P::importExportMargin}, 1},
    {"ImportExportIndex", BoolField{&P::importExportIndex}, 1},
    {"AlternateRowColorR", ColorComponentField{&P::alternateRowColor, 0}, 232},
    {"AlternateRowColorG", ColorComponentField{&P::alternateRowColor, 8}, 248},
    {"AlternateRowColorB", ColorComponentField{&P::alternateRowColor, 16}, 232},
    {"SortedColumnColorR", ColorComponentField{&P::sortedColumnColor, 0}, 240},
    {"SortedColumnColorG", ColorComponentField{&P::sortedColumnColor, 8}, 240},
    {"SortedColumnColorB", ColorComponentField{&P::sortedColumnColor, 16}, 240},
};

// The older name of the held column list; read when present, never written.
constexpr const char* kOldHeldColumnsKey = "Columns";
// The import's choice by its place, which earlier versions kept; read when present, never written.
constexpr const char* kOldImportModeKey = "ImportMode";
// The base currency a new portfolio gets; written only while one is set, so a file without one keeps its
// bytes.
constexpr const char* kDefaultBaseCurrencyKey = "DefaultBaseCurrency";

int32_t GetComponent(uint32_t color, int shift) {
  return static_cast<int32_t>((color >> shift) & 0xFFu);
}

void SetComponent(uint32_t& color, int shift, int32_t value) {
  color = (color & ~(0xFFu << shift)) | ((static_cast<uint32_t>(value) & 0xFFu) << shift);
}

}  // namespace

VLGeneralPrefs::VLGeneralPrefs() : Prefs("General") {
  SetDefaults();
}

void VLGeneralPrefs::SetDefaults() {
  importMode = 0;
  defaultBaseCurrency.clear();
  for (const GeneralKey& entry : kGeneralKeys) {
    std::visit(Overloaded{
                   [&](BoolField f) { this->*f.member = entry.defaultValue != 0; },
                   [&](IntField f) { this->*f.member = entry.defaultValue; },
                   [&](SortColumnField f) { this->*f.member = entry.defaultValue; },
                   [&](TextField f) { (this->*f.member).clear(); },
                   [&](ColumnListField f) { GetDefaultColumns(f.held, this->*f.member); },
                   [&](ColorComponentField f) { SetComponent(this->*f.member, f.shift, entry.defaultValue); },
               },
               entry.field);
  }
}

void VLGeneralPrefs::Load() {
  SetDefaults();
  BeginBatch();
  for (const GeneralKey& entry : kGeneralKeys) {
    std::visit(Overloaded{
                   [&](BoolField f) { this->*f.member = ReadBool(entry.key, this->*f.member); },
                   [&](IntField f) { this->*f.member = ReadInt(entry.key, this->*f.member); },
                   [&](SortColumnField f) {
                     const int32_t id = ReadInt(entry.key, this->*f.member);
                     this->*f.member = IsSortableColumnId(id) ? id : 0;
                   },
                   [&](TextField f) { this->*f.member = ReadString(entry.key, this->*f.member); },
                   [&](ColumnListField f) {
                     std::vector<int32_t>& list = this->*f.member;
                     std::string text;
                     if (f.held) text = TrimBlanks(ReadString(kOldHeldColumnsKey, ""));
                     if (text.empty()) text = ReadString(entry.key, FormatColumnList(list));
                     if (!ParseColumnList(text, list) || list.empty()) GetDefaultColumns(f.held, list);
                   },
                   [&](ColorComponentField f) {
                     uint32_t& color = this->*f.member;
                     SetComponent(color, f.shift, ReadInt(entry.key, GetComponent(color, f.shift)));
                   },
               },
               entry.field);
  }
  importMode = ReadInt(kOldImportModeKey, importMode);
  defaultBaseCurrency = ReadString(kDefaultBaseCurrencyKey, "");
  // Only a code a portfolio could take; anything else is no default.
  if (!IsBaseCurrencyForm(defaultBaseCurrency)) defaultBaseCurrency.clear();
  (void)EndBatch(false);  // read-only: nothing to commit; what could not be read keeps its default
}

bool VLGeneralPrefs::Save() {
  BeginBatch();
  // Every key is written in place (new ones at the end of the section); comments and keys this program does
  // not know stay. The old name of the held columns goes, or the next load would read it instead; so does
  // the import's old choice, which the one by name replaces.
  bool written = Prefs::Save() && DeleteKey(kOldHeldColumnsKey) && DeleteKey(kOldImportModeKey);
  for (const GeneralKey& entry : kGeneralKeys) {
    std::visit(Overloaded{
                   [&](BoolField f) { written = WriteBool(entry.key, this->*f.member) && written; },
                   [&](IntField f) { written = WriteInt(entry.key, this->*f.member) && written; },
                   [&](SortColumnField f) { written = WriteInt(entry.key, this->*f.member) && written; },
                   [&](TextField f) { written = WriteString(entry.key, this->*f.member) && written; },
                   [&](ColumnListField f) {
                     written = WriteString(entry.key, FormatColumnList(this->*f.member)) && written;
                   },
                   [&](ColorComponentField f) {
                     written = WriteInt(entry.key, GetComponent(this->*f.member, f.shift)) && written;
                   },
               },
               entry.field);
  }
  written = (defaultBaseCurrency.empty() ? DeleteKey(kDefaultBaseCurrencyKey)
                                         : WriteString(kDefaultBaseCurrencyKey, defaultBaseCurrency)) &&
            written;
  return EndBatch(true) && written;
}

void VLGeneralPrefs::CopyTo(VLGeneralPrefs& other) const {
  if (&other == this) return;
  for (const GeneralKey& entry : kGeneralKeys) {
    std::visit([&](auto f) { other.*f.member = this->*f.member; }, entry.field);
  }
  other.importMode = importMode;
  other.defaultBaseCurrency = defaultBaseCurrency;
}

void VLGeneralPrefs::GetHeldColumns(std::vector<int32_t>& list) const {
  list = heldColumns;
}

void VLGeneralPrefs::GetSoldColumns(std::vector<int32_t>& list) const {
  list = soldColumns;
}

void VLGeneralPrefs::GetDefaultColumns(bool held, std::vector<int32_t>& list) const {
  if (held) {
    list.assign(std::begin(kDefaultHeldColumns), std::end(kDefaultHeldColumns));
  } else {
    list.assign(std::begin(kDefaultSoldColumns), std::end(kDefaultSoldColumns));
  }
}

std::string VLGeneralPrefs::FormatColumnList(const std::vector<int32_t>& list) {
  std::string text;
  for (int32_t id : list) {
    if (!text.empty()) text += ',';
    text += std::to_string(id);
  }
  return text;
}

bool VLGeneralPrefs::ParseColumnList(const std::string& text, std::vector<int32_t>& list) {
  std::vector<int32_t> parsed;
  if (TrimBlanks(text).empty()) {
    list.clear();
    return true;
  }
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    const std::string piece(
        TrimBlanks(text.substr(start, comma == std::string::npos ? comma : comma - start)));
    const char* first = piece.data();
    const char* last = first + piece.size();
    if (first != last && *first == '+') ++first;
    long long id = 0;
    const auto [end, error] = std::from_chars(first, last, id);
    // A number too long for any integer is still a number, just not a column id.
    if ((error != std::errc() && error != std::errc::result_out_of_range) || end != last) return false;
    if (error == std::errc() && id >= 0 && id <= kLastColumnId) parsed.push_back(static_cast<int32_t>(id));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  list = std::move(parsed);
  return true;
}
