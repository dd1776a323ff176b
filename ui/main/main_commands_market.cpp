// Market-data commands of the main window that this version answers itself.
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"

void CDlgVellumar::RegisterMarketCommands() {
  handlers.insert(kCmdQuote, [this] { OnQuoteLookup(); });
  for (int id : {kCmdNews, kCmdRecentNews, kCmdBusinessHeadlines, kCmdOrganizeFavorites}) {
    handlers.insert(id, [this] { NotImplemented(); });
  }
}

// The quote look-up of the symbol edit; Enter in the edit runs it too, then empties the edit.
void CDlgVellumar::OnQuoteLookup() { NotImplemented(); }
