#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace testsupport {

// A stand-in for the crontab command that keeps the "user's table" in the file "user-table" of `folder`,
// so that no test touches a real crontab. When the real command is installed, its dry run checks each new
// table's syntax first, so tables cron would refuse are refused here too. While it lives, the temporary
// folder (where new tables are staged) is `folder` as well.
class FakeCrontab {
 public:
  explicit FakeCrontab(const std::filesystem::path& folder);
  ~FakeCrontab();
  FakeCrontab(const FakeCrontab&) = delete;
  FakeCrontab& operator=(const FakeCrontab&) = delete;

  // The command's full path; it is named "crontab", so its folder can stand first on PATH.
  const std::string& Command() const { return command_; }
  std::filesystem::path Table() const { return folder_ / "user-table"; }

 private:
  std::filesystem::path folder_;
  std::string command_;
  std::optional<std::string> previousTmpdir_;
};

}  // namespace testsupport
