#include "cli/db_session.h"

#include <cctype>
#include <cstdio>

#include "framework/file_util.h"
#include "marketdata/market_date.h"
#include "portfolio/records/vl_portfolio_item.h"

namespace {

// The tool is no window: what the database posts goes nowhere.
class NoWindow : public IVLCommandWindow {
 public:
  void PostCommand(uint32_t) override {}
};

constexpr const char* kBusyText =
    "another program is changing the database and kept it locked; nothing was changed, try again";

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string DatabasePathOption(const CliArgs& args) {
  return args.Option("db", GetModuleFolder() + "Vellumar.db");
}

bool DbSession::Open(const CliArgs& args, CliIo& io) {
  const std::string path = DatabasePathOption(args);
  db = std::make_unique<VLDatabase>(path);
  window = std::make_shared<NoWindow>();
  conn = db->Connect(window, 1, 2, 3);
  if (conn) return true;
  const int32_t code = db->GetLastOpenCode();
  if (code == kDbMissing) {
    io.err << "No database file at " << path << " (create one with: vellumar-cli init --db " << path << ")\n";
  } else if (code == kDbBusy) {
    io.err << "Cannot open " << path << ": " << kBusyText << "\n";
  } else if (code == kDbFailed && !FileExists(path)) {
    io.err << "Cannot open " << path << "\n";
  } else {
    io.err << "An error occured while opening the Vellumar\ndatabase.  The database file may be corrupt.\n"
           << "(" << path << ", load code " << code << ")\n";
  }
  return false;
}

uint32_t DbSession::FindPortfolio(const std::string& idOrName, CliIo& io) {
  VLPortfolioItemList list;
  db->GetPortfolios(conn, list);
  if (AllDigits(idOrName)) {
    for (const auto& p : list) {
      if (std::to_string(p->id) == idOrName) return p->id;
    }
  }
  for (const auto& p : list) {
    if (EqualNoCase(p->name, idOrName)) return p->id;
  }
  io.err << "No portfolio \"" << idOrName << "\"\n";
  return 0;
}

std::string DatabaseCodeText(int32_t code) {
  switch (code) {
    case kVLFailed: return "the change was refused or could not be saved";
    case kVLNameClash: return "a portfolio of that name already exists";
    case kVLNotFound: return "no such portfolio or position";
    case kVLAlreadySold: return "the position is already sold";
    case kVLNotSold: return "the position is not sold";
    case kVLBusy: return kBusyText;
    default: return "failed with code " + std::to_string(code);
  }
}

bool ParseCents(const std::string& text, uint32_t* cents) {
  uint64_t whole = 0;
  size_t i = 0;
  bool digits = false;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    whole = whole * 10 + static_cast<uint64_t>(text[i] - '0');
    digits = true;
    if (whole > 42949672) return false;  // the cents must fit in 32 bits
  }
  uint64_t fraction = 0;
  int decimals = 0;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
      if (++decimals > 2) return false;
      fraction = fraction * 10 + static_cast<uint64_t>(text[i] - '0');
      digits = true;
    }
  }
  if (!digits || i != text.size()) return false;
  if (decimals == 1) fraction *= 10;
  const uint64_t total = whole * 100 + fraction;
  if (total > 0xFFFFFFFFull) return false;
  *cents = static_cast<uint32_t>(total);
  return true;
}

bool ParseDate(const std::string& text, int64_t* seconds) {
  int year = 0, month = 0, day = 0;
  char tail = 0;
  if (text.size() != 10 || std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &tail) != 3) {
    return false;
  }
  if (year < 1970 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(month, year)) return false;
  return LocalMidnight(year, month, day, seconds);
}

std::string CentsText(uint32_t cents) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%u.%02u", cents / 100, cents % 100);
  return buf;
}
