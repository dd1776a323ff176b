#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a row of a broker's list of transactions is, by the value of its kind column ("Market buy",
// "Verkoop Fondsen", "Reinvest Dividend"): the user maps the file's values to these.
enum class TransactionKind {
  Buy,
  Sell,
  Dividend,
  CapitalGain,
  ReturnOfCapital,
  Interest,
  Tax,
  Fee,
  Deposit,
  Withdrawal,
  Split,
  Skip,
};

// "buy", "capital-gain", "return-of-capital"...
const char* TransactionKindName(TransactionKind kind);
// The kind of a name (any letter case, blanks around it ignored).
std::optional<TransactionKind> TransactionKindByName(std::string_view name);
// Every kind in the order above.
const std::vector<TransactionKind>& TransactionKinds();
// "buy, sell, dividend, ... or skip": for messages.
std::string TransactionKindList();

// Which of the file's values stand for which kind. A value compares without regard to letter case and blanks
// around it; a value ending in '*' stands for every value that begins with the rest ("Dividend*"). A value
// named exactly wins over a pattern, and a longer pattern over a shorter one.
class TransactionKindMap {
 public:
  struct Entry {
    TransactionKind kind;
    std::string value;   // as the user wrote it, trimmed
    std::string folded;  // as it compares: letter case folded, once, for the lookup of every row
    friend bool operator==(const Entry&, const Entry&) = default;
  };

  // Reads "buy=Market buy|Limit buy" (the form of --kind) and adds its values; false with `error` for an
  // unknown kind, an entry without "=" or without any value.
  [[nodiscard]] bool Add(std::string_view text, std::string& error);
  void Add(TransactionKind kind, std::string_view value);
  // Takes the entry of that value (as Add compares it) out; patterns stay.
  void Remove(std::string_view value);
  // The kind the file's value stands for; none when no entry names it.
  std::optional<TransactionKind> Find(std::string_view fileValue) const;
  // The values of one kind joined with "|" (empty when it has none).
  std::string ValuesOf(TransactionKind kind) const;

  bool Empty() const { return entries.empty(); }
  const std::vector<Entry>& Entries() const { return entries; }
  friend bool operator==(const TransactionKindMap&, const TransactionKindMap&) = default;

 private:
  std::vector<Entry> entries;
};
