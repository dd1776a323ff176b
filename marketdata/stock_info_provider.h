#pragma once
#include <string>
#include <vector>

#include "marketdata/c_web_resource_provider.h"

class StockInfo;

// Fills any number of quotes with one request to the quote service's CSV download, one line per
// symbol, matched to the records by order.
class StockInfoProvider : public CWebResourceProvider {
 public:
  // Every text the answer fills in is cut to this many bytes (on a character boundary): the database
  // stores them, and an answer must not make it grow without end.
  static constexpr size_t kMaxFieldBytes = 255;
  // The field codes asked for, 44 values a line; the name comes second and last.
  static constexpr const char* kFieldCodes =
      "snxj1j3r5rp5dyr1a2jkm3m7m8m4m5m6t8r6r7e9e8e7pd1t7vob3b2b6a5s7lcmk1k2m2f6n";

  // Fills the records in place (they are not owned). Afterwards HasError()/GetErrorText() tell
  // whether every record was read; on a parse failure the records read so far keep their new values.
  void Fetch(const std::vector<StockInfo*>& quotes);

  // "12.3456" -> "12.34": at most two digits after the last point; other texts stay.
  static std::string CutToTwoDecimals(const std::string& value);

 protected:
  void GetUrl(std::string& out) override;
  void ParseContent() override;

 private:
  bool QuotedRead(std::string& out);
  bool PlainRead(std::string& out);
  bool ReadLine(StockInfo& info);

  std::vector<StockInfo*> quotes;
};
