// The string table, the message function, the command table and the connection rule.
#include <QAction>
#include <QDialog>

#include "marketdata/service_hosts.h"
#include "ui/main/command_ids.h"
#include "ui/main/command_table.h"
#include "ui/main/connection_check.h"
#include "ui/widgets/string_table.h"
#include "ui_test_support.h"

namespace {

TEST(StringTable, FillsPlaceholdersInOrder) {
  EXPECT_EQ(FormatString(StringId::ItemCountSelected, {QStringLiteral("12"), QStringLiteral("3")}),
            QStringLiteral("12 item(s), 3 selected"));
  EXPECT_EQ(FormatString(StringId::WindowTitle, QStringLiteral("Growth")),
            QStringLiteral("Vellumar - Growth"));
  EXPECT_EQ(FormatText(QStringLiteral("%s (%d%%) %s"), {QStringLiteral("a"), QStringLiteral("5")}),
            QStringLiteral("a (5%) "));
  EXPECT_EQ(FormatString(StringId::PortfolioDeleteConfirm, QStringLiteral("Mine")),
            QStringLiteral("\"Mine\"\n\nAre you sure you want to delete this portfolio\nand its contents?"));
  EXPECT_EQ(LoadString(57344), QStringLiteral("Vellumar!"));
  EXPECT_EQ(LoadString(105), QStringLiteral(" Connected"));
  EXPECT_TRUE(LoadString(1).isEmpty());
  // Every name of the id list that the window uses has its text.
  for (StringId id : {StringId::NoPortfolio, StringId::NoItems, StringId::ItemCount, StringId::NotImplemented,
                      StringId::ExitConfirm, StringId::TasksInProgress, StringId::WelcomeNewPortfolio,
                      StringId::PositionsReadError, StringId::SummaryError}) {
    EXPECT_FALSE(LoadString(id).isEmpty()) << static_cast<int>(id);
  }
}

TEST(MessageFunction, TheAnswererSeesIdTextIconAndButtons) {
  std::vector<MessageRequest> seen;
  MessageAnswerer previous = SetMessageAnswerer([&](const MessageRequest& r) {
    seen.push_back(r);
    return MessageAnswer::No;
  });
  EXPECT_EQ(
      ShowMessage(nullptr, StringId::ExitConfirm, MessageIcon::Question, MessageButtons::YesNoDefaultNo),
      MessageAnswer::No);
  EXPECT_EQ(ShowMessage(nullptr, StringId::PositionAddError, MessageIcon::None, MessageButtons::Ok,
                        {QStringLiteral("IBM")}),
            MessageAnswer::No);
  SetMessageAnswerer(std::move(previous));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(static_cast<int>(seen[0].id), 2074);
  EXPECT_EQ(seen[0].icon, MessageIcon::Question);
  EXPECT_EQ(seen[0].buttons, MessageButtons::YesNoDefaultNo);
  EXPECT_EQ(seen[1].text, QStringLiteral("\"IBM\"\n\nVellumar was unable to add this position."));
}

TEST(CommandTable, OneActionPerIdWithItsTextsAndNoDuplicates) {
  QObject owner;
  std::vector<int> ran;
  const QHash<int, QAction*> actions = BuildCommandActions(&owner, [&](int id) { ran.push_back(id); });
  EXPECT_EQ(actions.size(), CommandCatalogue().size());  // no id twice
  ASSERT_TRUE(actions.contains(kCmdExit));
  EXPECT_EQ(actions.value(kCmdExit)->text(), QStringLiteral("E&xit"));
  EXPECT_EQ(actions.value(kCmdExit)->objectName(), QStringLiteral("32771"));
  EXPECT_EQ(actions.value(kCmdPositionNew)->toolTip(), QStringLiteral("Add Position"));
  EXPECT_TRUE(actions.value(kCmdOnTop)->isCheckable());
  actions.value(kCmdSell)->trigger();
  actions.value(kCmdBackup)->trigger();
  EXPECT_EQ(ran, (std::vector<int>{kCmdSell, kCmdBackup}));
  EXPECT_EQ(PlainText("&Copy To Portfolio..."), QStringLiteral("Copy To Portfolio..."));
}

TEST(ConnectionCheck, LoopbackHostsNeedNoNetwork) {
  EXPECT_TRUE(IsLoopbackHost("localhost:8642"));
  EXPECT_TRUE(IsLoopbackHost("uk.localhost:8642"));
  EXPECT_TRUE(IsLoopbackHost("LOCALHOST"));
  EXPECT_TRUE(IsLoopbackHost("127.0.0.1:80"));
  EXPECT_TRUE(IsLoopbackHost("[::1]:8642"));
  EXPECT_FALSE(IsLoopbackHost("quotes.example.com"));
  EXPECT_FALSE(IsLoopbackHost("localhost.example.com"));
  EXPECT_FALSE(IsLoopbackHost("10.0.0.1:8642"));
  ServiceHosts hosts;
  EXPECT_TRUE(AllHostsLoopback(hosts));
  EXPECT_TRUE(IsInternetConnected(hosts));
  hosts.chartHost = "charts.example.com";
  EXPECT_FALSE(AllHostsLoopback(hosts));
}

}  // namespace
