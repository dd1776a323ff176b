#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/c_instance_checker.h"
#include "tests/support/temp_folder.h"

// The real program, copied into a fresh folder so that it keeps its database and settings there.
namespace {

bool WaitForFile(const std::string& path, QProcess& process) {
  for (int i = 0; i < 600; ++i) {
    if (std::filesystem::exists(path)) return true;
    if (process.state() == QProcess::NotRunning) return false;
    QThread::msleep(50);
  }
  return false;
}

}  // namespace

TEST(TerminationSignals, EndTheProgramAsExitDoesWithTheSettingsWrittenForEachSignal) {
  // A Vellumar of the same user runs meanwhile on its own database; the copies below are instances of
  // their own and must not hand over to it.
  TempFolder running("vl_term_running");
  CInstanceChecker other(QStringLiteral("Vellumar"), QString::fromStdString(running.Path()));
  ASSERT_TRUE(other.TrackFirstInstanceRunning(nullptr));
  for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signalNumber);
    TempFolder folder("vl_term");
    ASSERT_FALSE(folder.Path().empty());
    const std::string program = folder.File("vellumar");
    std::filesystem::copy_file(VL_APP_PROGRAM, program);
    // No service beside the copy: the quote host points nowhere that answers, and nothing is started.
    WriteText(folder.File("vellumar.ini"), "[General]\n");

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QString::fromStdString(program), {});
    ASSERT_TRUE(process.waitForStarted(10000));
    ASSERT_TRUE(WaitForFile(folder.File("Vellumar.db"), process)) << "the program did not open its database";
    QThread::msleep(300);  // into the event loop, where the disclaimer's own loop is waiting
    ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), signalNumber), 0);
    ASSERT_TRUE(process.waitForFinished(30000)) << "the program did not end on the signal";

    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "killed by the signal instead of ending";
    EXPECT_EQ(process.exitCode(), 0);
    // The settings are written at exit only: a killed program would leave the file as it was.
    const std::string settings = ReadText(folder.File("vellumar.ini"));
    EXPECT_NE(settings.find("XPos="), std::string::npos) << settings;
    EXPECT_NE(settings.find("ShowSoldView="), std::string::npos) << settings;
  }
}
