#include "portfolio/exchange/vellumar_xml.h"

#include <tinyxml2.h>

#include <cstring>
#include <limits>
#include <memory>

#include "portfolio/columns/column_catalog.h"
#include "portfolio/exchange/action_rows.h"
#include "portfolio/exchange/export_data.h"
#include "portfolio/exchange/file_values.h"
#include "portfolio/exchange/holding_texts.h"
#include "portfolio/exchange/price_rows.h"
#include "portfolio/exchange/xml_bounds.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/holding_xml.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

constexpr const char* kRoot = "VellumarPortfolios";
constexpr const char* kPortfolio = "Portfolio";
constexpr const char* kPrice = "Price";
// Version 2 adds the prices set by hand; a file without any is written in version 1, as before.
constexpr int kFirstVersion = 1;
constexpr int kPriceVersion = 2;
// Version 3 adds the corporate actions, version 4 the income; a file without them is written as before.
constexpr int kActionVersion = 3;
constexpr int kVersion = 4;
constexpr const char* kIncome = "Income";

// An attribute value with every character a parser would change written as a reference: markup characters,
// and tabs and line breaks, which XML parsers turn into blanks. What XML cannot hold at all (a NUL, other
// control characters, bytes that are no UTF-8 text) is written as U+FFFD, so the file is always well-formed.
void AppendEscaped(std::string& out, std::string_view raw) {
  const std::string text = XmlSafeText(raw);
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (ch) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          out += "&#" + std::to_string(c) + ";";
        } else {
          out.push_back(ch);
        }
    }
  }
}

void AppendAttribute(std::string& out, const char* name, std::string_view value) {
  out.append(" ").append(name).append("=\"");
  AppendEscaped(out, value);
  out.push_back('"');
}

void AppendElement(std::string& out, const tinyxml2::XMLElement& element) {
  out.append("    <").append(element.Name());
  for (const tinyxml2::XMLAttribute* a = element.FirstAttribute(); a; a = a->Next()) {
    AppendAttribute(out, a->Name(), a->Value());
  }
  out.append("/>\n");
}

// What a reader says of a part of the file that a later version of Vellumar wrote.
std::string NewerVersionText(const std::string& what, int64_t version, int64_t known) {
  return "the file was written by a newer version of Vellumar (" + what + " of version " +
         std::to_string(version) + "; this version reads up to version " + std::to_string(known) + ")";
}

// A copy of `position` whose texts XML can hold.
std::unique_ptr<VLHoldingItem> XmlSafeCopy(const VLHoldingItem& position) {
  std::unique_ptr<Item> clone = position.Clone();
  auto* copy = static_cast<VLHoldingItem*>(clone.release());
  std::unique_ptr<VLHoldingItem> safe(copy);
  safe->name = XmlSafeText(safe->name);
  if (auto* stock = dynamic_cast<VLStockHoldingItem*>(safe.get()))
    stock->comment = XmlSafeText(stock->comment);
  return safe;
}

// The text between `before` and `after` in `text` when it has that form.
bool Between(std::string_view text, std::string_view before, std::string_view after, std::string& middle) {
  if (text.size() < before.size() + after.size() || text.substr(0, before.size()) != before ||
      text.substr(text.size() - after.size()) != after)
    return false;
  middle = std::string(text.substr(before.size(), text.size() - before.size() - after.size()));
  return true;
}

// "Line 12: Element qty has invalid or missing value." as a problem of line 12 in the words of every other
// refusal of an import ("the attribute qty is missing or not a value it may hold").
ImportProblem FromXmlProblem(const std::string& message, int line) {
  const size_t colon = message.find(": ");
  const std::string body = colon == std::string::npos ? message : message.substr(colon + 2);
  std::string name;
  std::string text = body;
  if (Between(body, "Element ", " has invalid or missing value.", name)) {
    text = "the attribute " + name + " is missing or not a value it may hold";
  } else if (Between(body, "Element ", " has invalid or missing version attribute.", name)) {
    text = "the element " + name + " has no version this program reads";
  } else if (Between(body, "Attribute \"", "\".", name) &&
             name.find("\" has invalid value \"") != std::string::npos) {
    const std::string_view separator = "\" has invalid value \"";
    const size_t split = name.find(separator);
    text = "the attribute " + name.substr(0, split) + " holds '" + name.substr(split + separator.size()) +
           "', a value it may not hold";
  } else if (Between(body, "Unknown element \"", "\" encountered.", name)) {
    text = "unknown element \"" + name + "\"";
  } else if (Between(body, "Element ", "\".", name) &&
             name.find(" missing required attribute \"") != std::string::npos) {
    const size_t split = name.find(" missing required attribute \"");
    text = "the element " + name.substr(0, split) + " has no attribute " +
           name.substr(split + std::string_view(" missing required attribute \"").size());
  }
  return {line, ImportField::None, text};
}

class XmlReader {
 public:
  XmlReader(const ImportOptions& options, ImportReading& reading)
      : reading(reading),
        sink(reading, options, RowReading{},
             {ImportField::Portfolio, ImportField::Kind, ImportField::Symbol, ImportField::Quantity,
              ImportField::Price, ImportField::Date, ImportField::Commission, ImportField::SalePrice,
              ImportField::SaleDate, ImportField::SaleCommission, ImportField::Amount,
              ImportField::Comment}) {}

  void Read(const tinyxml2::XMLElement& root) {
    size_t total = 0;
    bool currencies = false;
    for (auto* p = root.FirstChildElement(); p; p = p->NextSiblingElement()) {
      for (auto* e = p->FirstChildElement(); e; e = e->NextSiblingElement()) {
        ++total;
        currencies = currencies || e->Attribute("currency") != nullptr;
      }
    }
    // The preview shows the currencies only of a file that gives some.
    if (currencies) reading.preview.fields.push_back(ImportField::Currency);
    for (auto* p = root.FirstChildElement(); p; p = p->NextSiblingElement()) {
      if (std::strcmp(p->Name(), kPrice) == 0) {
        const auto text = [p](const char* name) {
          const char* value = p->Attribute(name);
          return std::string(value ? value : "");
        };
        ReadPriceRow(p->GetLineNum(), text("symbol"), text("date"), text("price"), reading);
        continue;
      }
      if (std::strcmp(p->Name(), kActionElement) == 0) {
        const auto text = [p](const char* name) {
          const char* value = p->Attribute(name);
          return std::string(value ? value : "");
        };
        ReadActionRow(p->GetLineNum(),
                      {text("symbol"), text("date"), text("action"), text("ratio"), text("cashInLieu"),
                       text("newSymbol"), text("comment")},
                      reading);
        continue;
      }
      if (std::strcmp(p->Name(), kIncome) == 0) {
        Income(*p);
        continue;
      }
      if (std::strcmp(p->Name(), kPortfolio) != 0) {
        Problem(p->GetLineNum(), std::string("unknown element \"") + p->Name() + "\"");
        continue;
      }
      const char* name = p->Attribute("name");
      const char* comment = p->Attribute("comment");
      const std::string portfolioName = name ? name : "";
      const std::string portfolioComment = comment ? comment : "";
      if (!p->FirstChildElement()) {
        RowTexts texts;
        At(texts, ImportField::Kind) = kPortfolioKindName;
        (void)sink.Add(p->GetLineNum(), RowKind::PortfolioOnly, texts, portfolioName, portfolioComment);
      }
      for (auto* e = p->FirstChildElement(); e; e = e->NextSiblingElement()) {
        if (++done % 64 == 0 && !sink.Progress(done, total)) return;
        Position(*e, portfolioName, portfolioComment);
      }
      if (const char* base = p->Attribute("baseCurrency"))
        sink.PortfolioBase(p->GetLineNum(), portfolioName, base);
    }
    (void)sink.Progress(total, total);
  }

 private:
  void Problem(int line, const std::string& text) {
    reading.problems.push_back({line, ImportField::None, text});
  }

  // A payment: its portfolio, symbol, kind, pay and ex-dates, shares, gross, withholding, fees, currency and
  // comment, checked as a payment typed in is.
  void Income(const tinyxml2::XMLElement& e) {
    const auto text = [&e](const char* name) {
      const char* value = e.Attribute(name);
      return std::string(value ? value : "");
    };
    IncomeKind kind = IncomeKind::Dividend;
    if (!IncomeKindByName(text("kind"), kind)) {
      reading.problems.push_back(
          {e.GetLineNum(), ImportField::Kind,
           "the kind of income '" + text("kind") +
               "' is not dividend, capital-gain, return-of-capital, interest or other"});
      return;
    }
    RowTexts texts;
    At(texts, ImportField::Symbol) = text("symbol");
    At(texts, ImportField::Date) = text("payDate");
    At(texts, ImportField::SaleDate) = text("exDate");
    At(texts, ImportField::Quantity) = text("shares");
    At(texts, ImportField::Amount) = text("gross");
    At(texts, ImportField::Withholding) = text("withholding");
    At(texts, ImportField::Fees) = text("fees");
    At(texts, ImportField::Currency) = text("currency");
    At(texts, ImportField::Comment) = text("comment");
    (void)sink.AddIncome(e.GetLineNum(), kind, false, texts, text("portfolio"));
  }

  void Position(const tinyxml2::XMLElement& e, const std::string& portfolioName,
                const std::string& portfolioComment) {
    std::unique_ptr<VLHoldingItem> holding;
    RowKind kind = RowKind::Stock;
    const std::string elementName = e.Name();
    if (elementName == GetKindName(kHoldingStock)) {
      holding = std::make_unique<VLStockHoldingItem>();
    } else if (elementName == GetKindName(kHoldingCash)) {
      holding = std::make_unique<VLCashHoldingItem>(), kind = RowKind::Cash;
    } else if (elementName == GetKindName(kHoldingMargin)) {
      holding = std::make_unique<VLMarginHoldingItem>(), kind = RowKind::Margin;
    } else {
      Problem(e.GetLineNum(), "unknown element \"" + elementName + "\"");
      return;
    }
    // An element of a later form is refused as such, not as malformed: a newer Vellumar wrote it.
    int64_t version = 0;
    if (ReadXmlInteger(e, "version", 0, std::numeric_limits<int32_t>::max(), version) &&
        version > holding->GetLatestVersion()) {
      Problem(e.GetLineNum(),
              NewerVersionText(elementName + " element", version, holding->GetLatestVersion()));
      return;
    }
    std::string message;
    if (!holding->FromXml(e, message)) {
      reading.problems.push_back(FromXmlProblem(message, e.GetLineNum()));
      return;
    }
    if (kind == RowKind::Stock) {
      auto& stock = static_cast<VLStockHoldingItem&>(*holding);
      stock.comment = e.Attribute("comment");  // as written: the element's reader trims it
      int64_t commission = 0;
      if (e.Attribute("buyCommission") &&
          !ReadXmlInteger(e, "buyCommission", 0, std::numeric_limits<uint32_t>::max(), commission)) {
        Problem(e.GetLineNum(), std::string("the commission '") + e.Attribute("buyCommission") +
                                    "' is not a whole number of cents");
        return;
      }
      stock.buyCommission = static_cast<uint32_t>(commission);
    }
    // The row as Vellumar's files write it, read like every other row: the dialogs' checks judge it.
    RowTexts texts = HoldingTexts(*holding);
    const char* tag = e.Attribute("tag");
    At(texts, ImportField::Tag) = tag ? tag : "";
    (void)sink.Add(e.GetLineNum(), kind, texts, portfolioName, portfolioComment);
  }

  ImportReading& reading;
  RowSink sink;
  size_t done = 0;
};

}  // namespace

std::string WriteVellumarXml(const ExportData& data) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<";
  const int version = !data.incomes.empty()   ? kVersion
                      : !data.actions.empty() ? kActionVersion
                      : data.prices.empty()   ? kFirstVersion
                                              : kPriceVersion;
  out.append(kRoot).append(" version=\"").append(std::to_string(version)).append("\">\n");
  for (const ExportPortfolio& portfolio : data.portfolios) {
    out.append("  <").append(kPortfolio);
    AppendAttribute(out, "name", portfolio.name);
    AppendAttribute(out, "comment", portfolio.comment);
    if (!portfolio.baseCurrency.empty()) AppendAttribute(out, "baseCurrency", portfolio.baseCurrency);
    if (portfolio.positions.empty()) {
      out.append("/>\n");
      continue;
    }
    out.append(">\n");
    for (const VLHoldingItem* stored : portfolio.positions) {
      // The element takes its texts as C strings: a NUL would cut them short. XmlSafeText keeps their length.
      const std::unique_ptr<VLHoldingItem> position = XmlSafeCopy(*stored);
      tinyxml2::XMLDocument doc;
      tinyxml2::XMLElement* element = position->ToXml(doc);
      doc.InsertEndChild(element);
      if (position->GetKind() == kHoldingStock) {
        element->SetAttribute("buyCommission",
                              static_cast<const VLStockHoldingItem*>(position.get())->buyCommission);
      }
      element->SetAttribute("tag", position->tag);
      AppendElement(out, *element);
    }
    out.append("  </").append(kPortfolio).append(">\n");
  }
  for (const VLManualPriceItem& price : data.prices) {
    out.append("  <").append(kPrice);
    AppendAttribute(out, "symbol", price.name);
    AppendAttribute(out, "date", PriceDayText(price));
    AppendAttribute(out, "price", PriceValueText(price));
    out.append("/>\n");
  }
  for (const VLCorporateActionItem& action : data.actions) {
    const ActionTexts t = ActionTextsOf(action);
    out.append("  <").append(kActionElement);
    AppendAttribute(out, "symbol", t.symbol);
    AppendAttribute(out, "date", t.date);
    AppendAttribute(out, "action", t.action);
    if (!t.ratio.empty()) AppendAttribute(out, "ratio", t.ratio);
    if (!t.cashInLieu.empty()) AppendAttribute(out, "cashInLieu", t.cashInLieu);
    if (!t.newSymbol.empty()) AppendAttribute(out, "newSymbol", t.newSymbol);
    AppendAttribute(out, "comment", XmlSafeText(t.comment));
    out.append("/>\n");
  }
  for (const ExportIncome& paid : data.incomes) {
    const VLIncomeItem& i = paid.income;
    const auto amount = [](int64_t cents) { return DecimalUnitsText(cents, 2, 2); };
    out.append("  <").append(kIncome);
    AppendAttribute(out, "portfolio", XmlSafeText(paid.portfolio));
    AppendAttribute(out, "symbol", XmlSafeText(i.name));
    AppendAttribute(out, "kind", IncomeKindName(i.kind));
    AppendAttribute(out, "payDate", StoredDayText(i.payDate));
    if (i.exDate != 0) AppendAttribute(out, "exDate", StoredDayText(i.exDate));
    if (!i.shares.IsZero()) AppendAttribute(out, "shares", DecimalText(i.shares));
    AppendAttribute(out, "gross", amount(i.gross));
    AppendAttribute(out, "withholding", amount(i.withholding));
    AppendAttribute(out, "fees", amount(i.fees));
    if (!i.currency.empty()) AppendAttribute(out, "currency", i.currency);
    AppendAttribute(out, "comment", XmlSafeText(i.comment));
    out.append("/>\n");
  }
  out.append("</").append(kRoot).append(">\n");
  return out;
}

void ReadVellumarXml(std::string_view bytes, const ImportOptions& options, ImportReading& reading) {
  reading.encoding = TextEncoding::Utf8;
  XmlBoundsProblem bounds;
  if (!CheckXmlBounds(bytes, bounds)) {
    reading.problems.push_back({bounds.line, ImportField::None, bounds.text});
    return;
  }
  tinyxml2::XMLDocument doc(true, tinyxml2::PRESERVE_WHITESPACE);
  if (doc.Parse(bytes.data(), bytes.size()) != tinyxml2::XML_SUCCESS) {
    reading.problems.push_back({doc.ErrorLineNum(), ImportField::None,
                                std::string("the file is not well-formed XML (") + doc.ErrorName() + ")"});
    return;
  }
  const tinyxml2::XMLElement* root = doc.RootElement();
  int64_t version = 0;
  if (root && std::strcmp(root->Name(), kRoot) == 0 &&
      ReadXmlInteger(*root, "version", 1, std::numeric_limits<int32_t>::max(), version) &&
      version > kVersion) {
    reading.problems.push_back(
        {0, ImportField::None, NewerVersionText(std::string(kRoot) + " form", version, kVersion)});
    return;
  }
  if (!root || std::strcmp(root->Name(), kRoot) != 0 ||
      !ReadXmlInteger(*root, "version", 1, kVersion, version)) {
    reading.problems.push_back({root ? root->GetLineNum() : 0, ImportField::None,
                                std::string("the file is not a Vellumar XML file of version ") +
                                    std::to_string(kVersion) + " or earlier"});
    return;
  }
  XmlReader(options, reading).Read(*root);
}
