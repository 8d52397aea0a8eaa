// A client library standing in for a whole database server, for runs of the Windows programs where no
// Windows client library can be installed: a backup request writes a backup file at the requested path
// and the verbose report is a few fixed lines. The backup file holds the database name, so a test can
// check that the archive carries the file the server wrote.
#include <ibase.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kReportLines = {
    "gbak:readied database for backup",
    "gbak:writing tables",
    "gbak:closing file, committing, and finishing.",
};

struct State {
  std::size_t nextLine = 0;
  bool backupStarted = false;
};

State& Server() {
  static State state;
  return state;
}

unsigned Little(const ISC_SCHAR* bytes, int count) {
  unsigned value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
  return value;
}

std::string Text(const ISC_SCHAR* at) { return std::string(at + 2, Little(at, 2)); }

// The backup file's content: a recognisable header and enough bytes for the archiver to compress.
std::string BackupContent(const std::string& database) {
  std::string content = "fake backup of " + database + "\n";
  for (int i = 0; i < 4096; ++i) content += "row " + std::to_string(i) + " of the sample table\n";
  return content;
}

}  // namespace

extern "C" {

ISC_LONG ISC_EXPORT isc_sqlcode(const ISC_STATUS*) { return 0; }

void ISC_EXPORT isc_sql_interprete(short, ISC_SCHAR* buffer, short length) {
  if (length > 0) buffer[0] = 0;
}

ISC_LONG ISC_EXPORT isc_interprete(ISC_SCHAR*, ISC_STATUS**) { return 0; }

ISC_LONG ISC_EXPORT isc_vax_integer(const ISC_SCHAR* bytes, short length) {
  return static_cast<ISC_LONG>(Little(bytes, length));
}

ISC_STATUS ISC_EXPORT isc_rollback_retaining(ISC_STATUS* status, isc_tr_handle*) {
  status[0] = 1;
  status[1] = 0;
  return 0;
}

ISC_STATUS ISC_EXPORT isc_service_attach(ISC_STATUS* status, unsigned short, const ISC_SCHAR*,
                                         isc_svc_handle* handle, unsigned short, const ISC_SCHAR*) {
  status[0] = 1;
  status[1] = 0;
  *handle = 1;
  return 0;
}

ISC_STATUS ISC_EXPORT isc_service_detach(ISC_STATUS* status, isc_svc_handle* handle) {
  status[0] = 1;
  status[1] = 0;
  *handle = 0;
  return 0;
}

// Reads a backup request: action 1, then clusters of database name (106), options (108), verbose (107),
// blocking factor (6), backup file (5) and file length (7).
ISC_STATUS ISC_EXPORT isc_service_start(ISC_STATUS* status, isc_svc_handle*, isc_resv_handle*,
                                        unsigned short length, const ISC_SCHAR* request) {
  status[0] = 1;
  status[1] = 0;
  std::string database;
  std::vector<std::string> files;
  for (int at = 1; at < length;) {
    switch (static_cast<unsigned char>(request[at])) {
      case 106:
        database = Text(request + at + 1);
        at += 3 + static_cast<int>(database.size());
        break;
      case 5:
        files.push_back(Text(request + at + 1));
        at += 3 + static_cast<int>(files.back().size());
        break;
      case 108:
      case 6:
      case 7:
        at += 5;
        break;
      default:
        at += 1;
        break;
    }
  }
  for (const std::string& file : files) {
    std::ofstream out(file, std::ios::binary);
    out << BackupContent(database);
  }
  Server() = State{0, true};
  return 0;
}

ISC_STATUS ISC_EXPORT isc_service_query(ISC_STATUS* status, isc_svc_handle*, isc_resv_handle*, unsigned short,
                                        const ISC_SCHAR*, unsigned short, const ISC_SCHAR*,
                                        unsigned short bufferLength, ISC_SCHAR* buffer) {
  status[0] = 1;
  status[1] = 0;
  State& server = Server();
  const std::string line =
      server.backupStarted && server.nextLine < kReportLines.size() ? kReportLines[server.nextLine++] : "";
  std::string reply{62, static_cast<char>(line.size() & 0xFF), static_cast<char>(line.size() >> 8)};
  reply += line;
  reply += '\x01';
  std::memcpy(buffer, reply.data(), std::min<std::size_t>(reply.size(), bufferLength));
  return 0;
}
}
