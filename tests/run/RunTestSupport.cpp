#include "tests/run/RunTestSupport.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "platform/Files.h"

namespace runtest {

TempFolder::TempFolder() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto candidate = std::filesystem::temp_directory_path() / ("torvi-run-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("no temporary folder");
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Text() const { return path_.string() + platform::kPathSeparator; }

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
}

platform::LocalDateTime FakeClock::Now() {
  const platform::LocalDateTime now = now_;
  now_.second += stepSeconds_;
  while (now_.second >= 60) {
    now_.second -= 60;
    ++now_.minute;
  }
  return now;
}

run::DatabaseOutcome FakeDatabaseStage::Perform(run::RunContext& context) {
  ++calls;
  if (action) {
    action(context);
  } else {
    WriteFile(context.names.serverBackupPath, contents);
  }
  return outcome;
}

}  // namespace runtest
