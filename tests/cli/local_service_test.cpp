// The bundled market-data service started on demand: by the launcher the application and the command-line
// tool share, and by vellumar-cli itself while it follows the README's walkthrough in a fresh folder.
#include "marketdata/local_service.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "marketdata/service_hosts.h"
#include "tests/support/loopback.h"
#include "tests/support/shell_command.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
const std::string kBin = std::string(VL_BINARY_DIR) + "/bin/";
const std::string kReadme = std::string(VL_FIXTURES_DIR) + "/../../README.md";

// A loopback port nothing listens on right now.
int FreePort() {
  int port = 0;
  ::close(ListenLoopback(port));
  return port;
}

ServiceHosts HostsAt(int port) {
  ServiceHosts hosts;
  hosts.SetAllHosts("localhost:" + std::to_string(port));
  return hosts;
}

// Whether the host stops answering within a few seconds (a killed parent's service gets its signal from
// the system, not at once).
bool StopsAnswering(const std::string& host) {
  for (int i = 0; i < 100; ++i) {
    if (!LoopbackHostAnswers(host, 100)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

ShellRun Shell(const std::string& command) {
  return RunShell(command);
}

// The README's command-line walkthrough: the first "```sh" block after "## vellumar-cli".
std::string ReadmeWalkthrough() {
  const std::string text = ReadText(kReadme);
  const size_t section = text.find("## vellumar-cli");
  const size_t begin = text.find("```sh\n", section);
  if (section == std::string::npos || begin == std::string::npos) return {};
  const size_t end = text.find("```", begin + 6);
  return text.substr(begin + 6, end - begin - 6);
}

}  // namespace

TEST(LocalService, HostsNameThisMachineOrNot) {
  EXPECT_TRUE(IsLoopbackHost("localhost:8642"));
  EXPECT_TRUE(IsLoopbackHost("uk.localhost:8642"));
  EXPECT_TRUE(IsLoopbackHost("127.0.0.2"));
  EXPECT_TRUE(IsLoopbackHost("[::1]:8642"));
  EXPECT_FALSE(IsLoopbackHost("localhost.example.com:8642"));
  EXPECT_FALSE(IsLoopbackHost("10.0.0.1:8642"));
  EXPECT_EQ(SplitHostPort("localhost:8642").port, 8642);
  EXPECT_EQ(SplitHostPort("[::1]:9000").port, 9000);
  EXPECT_EQ(SplitHostPort("localhost").port, 80);
  EXPECT_EQ(SplitHostPort("localhost:99999").port, 80);
}

TEST(LocalService, StartsOnlyWhenWantedAndStopsWhatItStarted) {
  const int port = FreePort();
  const std::string host = "localhost:" + std::to_string(port);
  ServiceHosts hosts = HostsAt(port);

  hosts.startLocalService = false;
  LocalService notWanted;
  EXPECT_EQ(notWanted.EnsureRunning(hosts, kBin), LocalService::Outcome::NotWanted);
  hosts.startLocalService = true;
  ServiceHosts away;
  away.SetAllHosts("quotes.example.com:8642");
  LocalService remote;
  EXPECT_EQ(remote.EnsureRunning(away, kBin), LocalService::Outcome::NotWanted);
  TempFolder empty("vl_no_service");
  LocalService missing;
  EXPECT_EQ(missing.EnsureRunning(hosts, empty.Path()), LocalService::Outcome::Missing);
  EXPECT_EQ(missing.Pid(), -1);

  {
    LocalService first;
    ASSERT_EQ(first.EnsureRunning(hosts, kBin), LocalService::Outcome::Started);
    EXPECT_GT(first.Pid(), 0);
    EXPECT_TRUE(LoopbackHostAnswers(host, 1000));
    LocalService second;  // the first one answers: nothing more is started
    EXPECT_EQ(second.EnsureRunning(hosts, kBin), LocalService::Outcome::AlreadyRunning);
    EXPECT_EQ(second.Pid(), -1);
    const pid_t pid = first.Pid();
    first.Stop();
    EXPECT_EQ(first.Pid(), -1);
    EXPECT_FALSE(LoopbackHostAnswers(host, 300));
    EXPECT_NE(::kill(pid, 0), 0);  // waited for, not left as a zombie
  }
  {
    LocalService scoped;
    ASSERT_EQ(scoped.EnsureRunning(hosts, kBin), LocalService::Outcome::Started);
  }
  EXPECT_FALSE(LoopbackHostAnswers(host, 300));
}

TEST(LocalService, EndsWhenItsParentIsKilled) {
  const int port = FreePort();
  const std::string host = "localhost:" + std::to_string(port);
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t parent = ::fork();
  ASSERT_GE(parent, 0);
  if (parent == 0) {
    ::close(ready[0]);
    LocalService service;
    const char started =
        service.EnsureRunning(HostsAt(port), kBin) == LocalService::Outcome::Started ? '1' : '0';
    if (::write(ready[1], &started, 1) != 1) ::_exit(1);
    ::pause();
    ::_exit(0);
  }
  ::close(ready[1]);
  char started = 0;
  ASSERT_EQ(::read(ready[0], &started, 1), 1);
  ::close(ready[0]);
  EXPECT_EQ(started, '1');
  EXPECT_TRUE(LoopbackHostAnswers(host, 1000));
  ::kill(parent, SIGKILL);
  ::waitpid(parent, nullptr, 0);
  EXPECT_TRUE(StopsAnswering(host));
}

// The walkthrough word for word in a fresh folder holding only the programs (as build/bin) and settings
// naming a free port: vellumar-cli starts the bundled service for each market-data command and stops it.
TEST(CliService, TheReadmeWalkthroughRunsAsWrittenWithNoServiceStarted) {
  const std::string script = ReadmeWalkthrough();
  ASSERT_NE(script.find("$B/vellumar-cli update"), std::string::npos);
  TempFolder fresh("vl_walkthrough");
  const std::string bin = fresh.File("build/bin/");
  fs::create_directories(bin);
  for (const char* program : {"vellumar-cli", "vellumar-marketd"})
    fs::copy_file(kBin + program, bin + program);
  fs::copy(kBin + "data", bin + "data", fs::copy_options::recursive);
  const int port = FreePort();
  const std::string host = "localhost:" + std::to_string(port);
  std::string ini = "[Services]\n";
  for (const auto& field : ServiceHosts::HostFields()) ini += std::string(field.key) + "=" + host + "\n";
  WriteText(bin + "vellumar.ini", ini);
  WriteText(fresh.File("walkthrough.sh"), "set -e\n" + script);

  const ShellRun run = Shell("cd " + fresh.Path() + " && bash walkthrough.sh 2>/dev/null");
  EXPECT_EQ(run.code, 0) << run.out;
  // The sale split the position: 60 shares held, valued at the service's price after the update.
  EXPECT_NE(run.out.find("quotes\tmarketTime\tmarketStatus\n1\t"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("MSFT\tMicrosoft Corporation\t"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\t60\t"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("[{\"symbol\":\"MSFT\""), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("BAC\tBank of America"), std::string::npos) << run.out;
  EXPECT_TRUE(fs::exists(fresh.File("retirement.htm")));
  EXPECT_FALSE(LoopbackHostAnswers(host, 300));

  // Symbols the service does not know: named on the error stream by quote (which fails) and by update.
  const std::string cli = "cd " + fresh.Path() + " && build/bin/vellumar-cli ";
  const ShellRun quote = Shell(cli + "quote NOSUCH MSFT 2>&1 >/dev/null");
  EXPECT_EQ(quote.code, 1);
  EXPECT_EQ(quote.out, "vellumar-cli quote: no such ticker symbol \"NOSUCH\"\n");
  ASSERT_EQ(Shell(cli + "add-stock Retirement NOSUCH --qty 1 --price 1 --db my.db").code, 0);
  const ShellRun update = Shell(cli + "update --db my.db 2>&1 >/dev/null");
  EXPECT_EQ(update.code, 0);
  EXPECT_EQ(update.out, "vellumar-cli update: no such ticker symbol \"NOSUCH\"\n");

  // A command that fails after the service was started stops it as well.
  const ShellRun failed =
      Shell("cd " + fresh.Path() + " && build/bin/vellumar-cli update --db missing.db 2>&1");
  EXPECT_EQ(failed.code, 1);
  EXPECT_NE(failed.out.find("missing.db"), std::string::npos) << failed.out;
  EXPECT_FALSE(LoopbackHostAnswers(host, 300));

  // With the settings saying not to, nothing is started and the command fails with the service's reason.
  WriteText(bin + "vellumar.ini", ini + "StartLocalService=0\n");
  const ShellRun off = Shell("cd " + fresh.Path() + " && build/bin/vellumar-cli quote MSFT 2>/dev/null");
  EXPECT_EQ(off.code, 1);
}

// A command that ends before it asks the service anything (no stocks to fetch, a database that does not
// open, a refused position) starts no service: a stand-in program beside the CLI marks every start.
TEST(CliService, StartedOnlyByACommandThatGetsToAskIt) {
  TempFolder folder("vl_cli_ondemand");
  const std::string bin = folder.Path();
  fs::copy_file(kBin + "vellumar-cli", bin + "vellumar-cli");
  WriteText(bin + "vellumar-marketd", "#!/bin/sh\necho started >> \"$(dirname \"$0\")/starts\"\n");
  fs::permissions(bin + "vellumar-marketd", fs::perms::owner_all);
  std::string ini = "[Services]\n";
  const std::string host = "localhost:" + std::to_string(FreePort());
  for (const auto& field : ServiceHosts::HostFields()) ini += std::string(field.key) + "=" + host + "\n";
  WriteText(bin + "vellumar.ini", ini);
  const std::string cli = "cd " + bin + " && ./vellumar-cli ";
  ASSERT_EQ(Shell(cli + "init --db empty.db && " + cli + "add-portfolio P --db empty.db").code, 0);

  EXPECT_EQ(Shell(cli + "fetch --db empty.db 2>/dev/null").code, 1);                     // no stock positions
  EXPECT_EQ(Shell(cli + "update --db missing.db 2>/dev/null").code, 1);                  // no such database
  EXPECT_EQ(Shell(cli + "add-stock P MSFT --qty x --db empty.db 2>/dev/null").code, 4);  // refused
  EXPECT_FALSE(fs::exists(bin + "starts"));

  // One that does ask starts it (the stand-in never answers, so the command fails all the same).
  EXPECT_NE(Shell(cli + "fetch MSFT 2>/dev/null").code, 0);
  EXPECT_TRUE(fs::exists(bin + "starts"));
}
