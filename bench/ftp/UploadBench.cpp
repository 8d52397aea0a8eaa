// Uploads a 1 GiB file to local FTP servers (pyftpdlib and vsftpd) with our client and with curl, in
// passive and active mode, and prints the ratio of the median wall times (ours over curl's) and the peak
// resident memory of each client. Each upload runs in a child process so that its memory is its own.
// Last, vsftpd requiring explicit TLS (FTPS) against `curl --ssl-reqd`.
//
//   ftp_upload_bench [rounds]                          the comparison (default 3 rounds)
//   ftp_upload_bench upload HOST PORT USER PASSWORD FILE passive|active REMOTE [CA-FILE]
//                                                      (with CA-FILE: explicit TLS, trusting that CA)
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "ftp/FTP.h"
#include "tests/fixtures/ftp/FtpServers.h"

extern char** environ;

namespace {

constexpr std::int64_t kFileSize = std::int64_t{1} << 30;

struct Run {
  double seconds;
  long peakKilobytes;
};

Run RunChild(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
    throw std::runtime_error("cannot start " + arguments.front());
  }
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(arguments.front() + " failed");
  return {seconds, usage.ru_maxrss};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

int Upload(char** argv) {
  ftp::TIdFTP client;
  client.Host = argv[2];
  client.Port = std::stoi(argv[3]);
  client.Username = argv[4];
  client.Password = argv[5];
  client.Passive = std::string(argv[7]) == "passive";
  client.ReadTimeout = ftp::kProgramReadTimeout;
  if (argv[9] != nullptr) {
    client.UseTLS = ftp::TIdUseTLS::utUseExplicitTLS;
    client.TrustedCAFile = argv[9];
  }
  client.ConnectAndLogin();
  client.UploadFile(argv[6], argv[8]);
  client.CloseConnection();
  return 0;
}

struct Server {
  std::string name;
  int port;
  std::string user;
  std::string password;
  std::string home;
  std::string caFile = {};  // empty: clear text
};

void Compare(const std::string& self, const Server& server, bool passive, const std::string& file,
             int rounds) {
  const std::string mode = passive ? "passive" : "active";
  const std::string remote = "bench.bin";
  const std::string url = "ftp://" + server.user + ":" + server.password +
                          "@127.0.0.1:" + std::to_string(server.port) + "/" + remote;
  std::vector<std::string> curl = {"/usr/bin/curl", "-sS", "-T", file, url};
  if (!server.caFile.empty()) curl.insert(curl.end(), {"--ssl-reqd", "--cacert", server.caFile});
  if (passive) {
    curl.push_back("--disable-epsv");
  } else {
    curl.insert(curl.end(), {"--ftp-port", "127.0.0.1", "--disable-eprt"});
  }
  std::vector<std::string> ours = {self,        "upload",        "127.0.0.1", std::to_string(server.port),
                                   server.user, server.password, file,        mode,
                                   remote};
  if (!server.caFile.empty()) ours.push_back(server.caFile);
  std::vector<double> ourTimes, curlTimes;
  long ourPeak = 0, curlPeak = 0;
  for (int round = 0; round < rounds; ++round) {
    // Alternate who goes first, so that neither always meets a warmer server.
    for (int turn = 0; turn < 2; ++turn) {
      const bool oursNow = (round + turn) % 2 == 0;
      std::filesystem::remove(server.home + "/" + remote);
      Run run{};
      try {
        run = RunChild(oursNow ? ours : curl);
      } catch (const std::exception& error) {
        // A peer that cannot do one mode leaves the other rows standing.
        std::printf("%-10s %-7s  %s\n", server.name.c_str(), mode.c_str(), error.what());
        return;
      }
      if (std::filesystem::file_size(server.home + "/" + remote) != static_cast<std::uintmax_t>(kFileSize)) {
        throw std::runtime_error("incomplete upload");
      }
      (oursNow ? ourTimes : curlTimes).push_back(run.seconds);
      long& peak = oursNow ? ourPeak : curlPeak;
      peak = std::max(peak, run.peakKilobytes);
    }
  }
  std::filesystem::remove(server.home + "/" + remote);
  const double ourMedian = Median(ourTimes), curlMedian = Median(curlTimes);
  std::printf("%-10s %-7s  ours %6.3f s  curl %6.3f s  ratio %.3f  peak RSS ours %5.1f MiB  curl %5.1f MiB\n",
              server.name.c_str(), mode.c_str(), ourMedian, curlMedian, ourMedian / curlMedian,
              ourPeak / 1024.0, curlPeak / 1024.0);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if ((argc == 9 || argc == 10) && std::string(argv[1]) == "upload") return Upload(argv);
    const int rounds = argc > 1 ? std::max(1, std::stoi(argv[1])) : 3;
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    ftpfixtures::ScratchFolder scratch;
    const std::string file = scratch / "big.bin";
    ftpfixtures::WritePseudoRandomFile(file, kFileSize);
    std::printf("1 GiB upload over loopback, median of %d rounds (ratio = our wall time / curl's)\n", rounds);
    {
      ftpfixtures::PyFtpServer pyftpd;
      const Server server{"pyftpdlib", pyftpd.Port(), ftpfixtures::PyFtpServer::kUser,
                          ftpfixtures::PyFtpServer::kPassword, pyftpd.Home()};
      Compare(self, server, true, file, rounds);
      Compare(self, server, false, file, rounds);
    }
    {
      ftpfixtures::VsFtpServer vsftpd;
      const Server server{"vsftpd", vsftpd.Port(), vsftpd.User(), ftpfixtures::VsFtpServer::kPassword,
                          vsftpd.Home()};
      Compare(self, server, true, file, rounds);
      Compare(self, server, false, file, rounds);
    }
    {
      ftpfixtures::TestCertificates certificates;
      ftpfixtures::VsFtpServer vsftpd({certificates.Certificate("trusted"), certificates.Key("trusted")});
      const Server server{"vsftpd+TLS",  vsftpd.Port(),    vsftpd.User(), ftpfixtures::VsFtpServer::kPassword,
                          vsftpd.Home(), certificates.CA()};
      Compare(self, server, true, file, rounds);
      Compare(self, server, false, file, rounds);
    }
    return 0;
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
}
