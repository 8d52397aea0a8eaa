// Child program for the process tests: `process-probe <exit code> <report file> [words...]` writes its
// words, one per line, to the report file and exits with the code (`process-probe <code> <report> stdin`
// writes what it reads on its standard input instead); `process-probe crash` dies of an access violation.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "crash") == 0) {
    RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  }
  if (argc < 3) return 2;
  std::ofstream report(argv[2], std::ios::binary);
  if (argc == 4 && std::strcmp(argv[3], "stdin") == 0) {
    std::cin >> std::noskipws;
    std::copy(std::istream_iterator<char>(std::cin), std::istream_iterator<char>(),
              std::ostreambuf_iterator<char>(report));
    return std::atoi(argv[1]);
  }
  for (int i = 3; i < argc; ++i) report << argv[i] << '\n';
  return std::atoi(argv[1]);
}
