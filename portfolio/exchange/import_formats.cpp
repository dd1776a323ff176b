#include "portfolio/exchange/import_formats.h"

#include "framework/text_util.h"
#include "portfolio/exchange/mapped_csv.h"
#include "portfolio/exchange/ofx_statement.h"
#include "portfolio/exchange/text_encoding.h"
#include "portfolio/exchange/vellumar_csv.h"
#include "portfolio/exchange/vellumar_xml.h"

namespace {

// Where a file says what it is, when it does: its first bytes.
constexpr size_t kHead = 4096;

bool StartsAsOfx(std::string_view bytes) {
  const std::string_view head = bytes.substr(0, kHead);
  return head.find("OFXHEADER") != std::string_view::npos || head.find("<OFX>") != std::string_view::npos;
}

bool StartsAsVellumarXml(std::string_view bytes) {
  const std::string_view head = bytes.substr(0, kHead);
  return head.find("<VellumarPortfolios") != std::string_view::npos;
}

void ReadVellumarCsvBytes(std::string_view bytes, const std::string&, const ImportOptions& options,
                          ImportReading& reading) {
  // Vellumar's own files hold the texts as stored, byte for byte, unless the user says otherwise.
  const DecodedText text = DecodeText(
      bytes, options.mapping.encoding == TextEncoding::Latin1 ? TextEncoding::Latin1 : TextEncoding::Utf8);
  reading.encoding = text.encoding;
  ReadVellumarCsv(text.text, options, reading);
}

void ReadVellumarXmlBytes(std::string_view bytes, const std::string&, const ImportOptions& options,
                          ImportReading& reading) {
  ReadVellumarXml(bytes, options, reading);
}

void ReadMappedCsvBytes(std::string_view bytes, const std::string&, const ImportOptions& options,
                        ImportReading& reading) {
  const DecodedText text = DecodeText(bytes, options.mapping.encoding);
  reading.encoding = text.encoding;
  ReadMappedCsv(text.text, options, reading);
}

// The file name's extension, without the dot; "" for none.
std::string_view ExtensionOf(std::string_view fileName) {
  const size_t dot = fileName.find_last_of('.');
  const size_t slash = fileName.find_last_of('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  return fileName.substr(dot + 1);
}

void ReadOfxFile(std::string_view bytes, const std::string& path, const ImportOptions& options,
                 ImportReading& reading) {
  ReadOfxStatement(path, bytes, options, reading);
}

// Whether `list` ("a|b") holds `item`, letter case aside.
bool Listed(std::string_view list, std::string_view item) {
  if (item.empty()) return false;
  while (!list.empty()) {
    const size_t bar = list.find('|');
    if (EqualNoCase(list.substr(0, bar), item)) return true;
    list = bar == std::string_view::npos ? std::string_view() : list.substr(bar + 1);
  }
  return false;
}

}  // namespace

const std::vector<ImportFormatInfo>& ImportFormatTable() {
  static const std::vector<ImportFormatInfo> table = {
      {.format = ExchangeFormat::Detect,
       .name = "auto",
       .commandNames = "",
       .choiceText = "Found from the file",
       .foundText = "",
       .fileNoun = "file",
       .filePatterns = "",
       .extensions = "",
       .recognised = nullptr,
       .needsTarget = false,
       .readsFromFile = false,
       .vellumarForm = false,
       .read = nullptr,
       .savedNumber = 0},
      {.format = ExchangeFormat::VellumarCsv,
       .name = "csv",
       .commandNames = "csv",
       .choiceText = "Vellumar CSV",
       .foundText = "Vellumar CSV",
       .fileNoun = "Vellumar CSV file",
       .filePatterns = "*.csv *.txt",
       .extensions = "",
       .recognised = IsVellumarCsv,
       .needsTarget = false,
       .readsFromFile = false,
       .vellumarForm = true,
       .read = ReadVellumarCsvBytes,
       .savedNumber = 1},
      {.format = ExchangeFormat::VellumarXml,
       .name = "xml",
       .commandNames = "xml",
       .choiceText = "Vellumar XML",
       .foundText = "Vellumar XML",
       .fileNoun = "Vellumar XML file",
       .filePatterns = "*.xml",
       .extensions = "xml",
       .recognised = StartsAsVellumarXml,
       .needsTarget = false,
       .readsFromFile = false,
       .vellumarForm = true,
       .read = ReadVellumarXmlBytes,
       .savedNumber = 2},
      {.format = ExchangeFormat::MappedCsv,
       .name = "mapped-csv",
       .commandNames = "",  // --format csv with a mapping
       .choiceText = "Other CSV, through the columns below",
       .foundText = "CSV, through the columns below",
       .fileNoun = "mapped CSV file",
       .filePatterns = "",
       .extensions = "",
       .recognised = nullptr,  // what no other form claims
       .needsTarget = true,
       .readsFromFile = false,
       .vellumarForm = false,
       .read = ReadMappedCsvBytes,
       .savedNumber = 3},
      {.format = ExchangeFormat::Ofx,
       .name = "ofx",
       .commandNames = "ofx|qfx",
       .choiceText = "OFX or QFX statement",
       .foundText = "OFX statement",
       .fileNoun = "statement",
       .filePatterns = "*.ofx *.qfx",
       .extensions = "ofx|qfx",
       .recognised = StartsAsOfx,
       .needsTarget = true,
       .readsFromFile = true,
       .vellumarForm = false,
       .read = ReadOfxFile,
       .savedNumber = 4},
  };
  return table;
}

const ImportFormatInfo& ImportFormatInfoOf(ExchangeFormat format) {
  for (const ImportFormatInfo& info : ImportFormatTable()) {
    if (info.format == format) return info;
  }
  return ImportFormatTable().front();
}

std::optional<ExchangeFormat> ImportFormatNamed(std::string_view name) {
  for (const ImportFormatInfo& info : ImportFormatTable()) {
    if (EqualNoCase(info.name, name)) return info.format;
  }
  return std::nullopt;
}

std::optional<ExchangeFormat> ImportFormatOfCommandName(std::string_view commandName) {
  for (const ImportFormatInfo& info : ImportFormatTable()) {
    if (Listed(info.commandNames, commandName)) return info.format;
  }
  return std::nullopt;
}

std::optional<ExchangeFormat> ImportFormatOfSavedNumber(int number) {
  for (const ImportFormatInfo& info : ImportFormatTable()) {
    if (info.savedNumber == number) return info.format;
  }
  return std::nullopt;
}

std::string ImportFormatCommandNames() {
  std::vector<std::string> names;
  for (const ImportFormatInfo& info : ImportFormatTable()) {
    const std::string_view all = info.commandNames;
    if (!all.empty()) names.emplace_back(all.substr(0, all.find('|')));
  }
  std::string text;
  for (size_t i = 0; i < names.size(); ++i)
    text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
  return text;
}

std::string ImportFileFilter() {
  std::string patterns;
  for (const ImportFormatInfo& info : ImportFormatTable()) {
    if (*info.filePatterns) patterns += (patterns.empty() ? "" : " ") + std::string(info.filePatterns);
  }
  return "Portfolios and statements (" + patterns + ");;All files (*)";
}

ExchangeFormat DetectExchangeFormat(std::string_view bytes, const std::string& fileName) {
  // What the content says first, then the name's extension; any other file is a CSV to map. The content is
  // tried from the table's end: a statement, then Vellumar's XML, then its CSV header, so that what marks
  // the larger forms wins over a first line that happens to read as the header.
  const std::vector<ImportFormatInfo>& table = ImportFormatTable();
  for (auto info = table.rbegin(); info != table.rend(); ++info) {
    if (info->recognised && info->recognised(bytes)) return info->format;
  }
  const std::string_view extension = ExtensionOf(fileName);
  for (const ImportFormatInfo& info : ImportFormatTable()) {
    if (Listed(info.extensions, extension)) return info.format;
  }
  return ExchangeFormat::MappedCsv;
}
