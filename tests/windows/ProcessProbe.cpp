// Child program for the process tests: `process-probe <exit code> <report file> [words...]` writes its
// words, one per line, to the report file and exits with the code; `process-probe crash` dies of an
// access violation.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "crash") == 0) {
    RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  }
  if (argc < 3) return 2;
  std::ofstream report(argv[2], std::ios::binary);
  for (int i = 3; i < argc; ++i) report << argv[i] << '\n';
  return std::atoi(argv[1]);
}
