// The program itself against the server that once grew it to gigabytes: a greeting of endless
// continuation lines. Its peak memory is the kernel's account of the child (ru_maxrss).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/SettingsFile.h"
#include "tests/fixtures/ftp/FtpServers.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/TempFolder.h"

namespace {

struct Measured {
  int exitStatus = -1;
  std::int64_t peakMemory = 0;
};

// Runs the program with its standard error in `errorFile` and waits for its end.
Measured RunMeasured(const std::vector<std::string>& arguments, const std::string& errorFile) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int error = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(error, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::int64_t{usage.ru_maxrss} * 1024};
}

TEST(TorviBackupAgainstHostileServer, AnEndlessGreetingFailsTheConnectionTestInLittleMemory) {
  ftpfixtures::ScratchFolder folder;
  ftpfixtures::FakeFtpServer server("endless_multi_line_reply");
  testsupport::WriteBytes(
      folder / app::kSettingsFileName,
      "[FTP]\r\nEnviarBackup=S\r\nServidor=127.0.0.1\r\nPorta=" + std::to_string(server.Port()) +
          "\r\nUsuario=tester\r\nModo=1\r\n[Configuracao]\r\nAbrir=N\r\n");
  const std::string work = folder / "work/";
  std::filesystem::create_directories(work);

  const Measured measured = RunMeasured(
      {TORVI_BACKUP_PROGRAM, "--config", folder.Path(), "--work", work, "--test-ftp"}, folder / "stderr.txt");

  EXPECT_EQ(measured.exitStatus, 2);
  EXPECT_NE(testsupport::ReadBytes(folder / "stderr.txt").find("Problemas com a Conexão."),
            std::string::npos);
  RecordProperty("peak_memory_kib", std::to_string(measured.peakMemory / 1024));
  // The child is built like this test, sanitizers included.
  if (testsupport::kPeakMemoryIsOurs) {
    EXPECT_LT(measured.peakMemory, 64 * testsupport::kMiB);
  }
}

}  // namespace
