#include "service/security_files.h"

#include "framework/text_util.h"
#include "service/text_format.h"

void ForEachSecurityFile(const std::string& folder, const SecurityList& securities,
                         std::vector<std::string>& messages,
                         const std::function<void(const std::filesystem::directory_entry&, const std::string&,
                                                  const Security&)>& read) {
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::filesystem::path& path = entry.path();
    if (path.extension() != ".csv" || !entry.is_regular_file(ec)) continue;
    const std::string symbol = AsciiUpper(path.stem().string());
    const Security* security = securities.Find(symbol);
    if (security == nullptr) {
      messages.push_back(path.string() + ": no security " + symbol + " in the securities list; file ignored");
      continue;
    }
    read(entry, symbol, *security);
  }
}
