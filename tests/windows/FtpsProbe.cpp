// One FTPS session of the Windows build under Wine against a TLS server on the Linux side: explicit TLS,
// the certificate judged against the Windows certificate store (plus CA_FILE, plus PIN), then an upload
// in the given mode and a listing. Prints one line: "ok FINGERPRINT", "untrusted FINGERPRINT" or
// "error MESSAGE".
// Usage: ftps-probe PORT CA_FILE|- PIN|- passive|active UPLOAD_FILE
#include <iostream>
#include <string>

#include "ftp/Exceptions.h"
#include "ftp/FTP.h"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::cerr << "usage: ftps-probe PORT CA_FILE|- PIN|- passive|active UPLOAD_FILE\n";
    return 64;
  }
  const auto given = [](const char* argument) { return std::string(argument) == "-" ? "" : argument; };
  ftp::TIdFTP client;
  client.Host = "localhost";
  client.Port = std::stoi(argv[1]);
  client.Username = "tester";
  client.Password = "s3cret";
  client.UseTLS = ftp::TIdUseTLS::utUseExplicitTLS;
  client.TrustedCAFile = given(argv[2]);
  client.PinnedFingerprint = given(argv[3]);
  client.Passive = std::string(argv[4]) == "passive";
  client.ReadTimeout = 20000;
  try {
    client.ConnectAndLogin();
    client.UploadFile(argv[5], "probe.rar", false);
    client.ListFolder(nullptr, "", true);
    client.CloseConnection();
    std::cout << "ok " << client.ServerCertificate().Fingerprint << "\n";
  } catch (const ftp::EIdTLSUntrusted& error) {
    std::cout << "untrusted " << error.Certificate().Fingerprint << "\n";
  } catch (const ftp::EIdException& error) {
    std::cout << "error " << error.what() << "\n";
  }
  return 0;
}
