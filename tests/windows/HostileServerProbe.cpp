// One exchange of the FTP client with a hostile server, for the Windows build under Wine: prints the
// error the exchange ended with and the process's peak memory (its own accounting), one per line.
// Usage: hostile-server-probe login|list|upload PORT [UPLOAD_FILE]
// The bounds are short, set through the client's own properties: a reply within 1 s, at least 1 KiB/s.
#include <iostream>
#include <string>

#include "ftp/Exceptions.h"
#include "ftp/FTP.h"
#include "tests/support/PeakMemory.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: hostile-server-probe login|list|upload PORT [UPLOAD_FILE]\n";
    return 64;
  }
  const std::string exchange = argv[1];
  ftp::TIdFTP client;
  client.Host = "127.0.0.1";
  client.Port = std::stoi(argv[2]);
  client.Username = "tester";
  client.Password = "s3cret";
  client.Passive = true;
  client.ReadTimeout = 1000;
  client.LowSpeedLimit = 1024;
  client.LowSpeedTime = 1;
  std::string outcome = "no error";
  try {
    client.ConnectAndLogin();
    if (exchange == "list") client.ListFolder(nullptr, "bkp*.rar", true);
    if (exchange == "upload" && argc > 3) client.UploadFile(argv[3], "bkp.rar", false);
  } catch (const ftp::EIdException& error) {
    outcome = error.what();
  }
  std::cout << outcome << "\n" << testsupport::PeakMemoryBytes() << "\n";
  return 0;
}
