#include "tests/support/FakeCrontab.h"

#include <cstdlib>
#include <fstream>

namespace testsupport {

FakeCrontab::FakeCrontab(const std::filesystem::path& folder)
    : folder_(folder), command_((folder / "crontab").string()) {
  std::ofstream script(command_);
  script << "#!/bin/sh\n"
            "store=\"$(dirname \"$0\")/user-table\"\n"
            "if [ \"$1\" = -l ]; then\n"
            "  [ -e \"$store\" ] || { echo \"no crontab for tester\" >&2; exit 1; }\n"
            "  exec cat \"$store\"\n"
            "fi\n"
            "if [ -x /usr/bin/crontab ]; then /usr/bin/crontab -n \"$1\" >/dev/null || exit 1; fi\n"
            "cp \"$1\" \"$store\"\n";
  script.close();
  std::filesystem::permissions(command_, std::filesystem::perms::owner_all);
  const char* previous = std::getenv("TMPDIR");
  if (previous) previousTmpdir_ = previous;
  setenv("TMPDIR", folder_.c_str(), 1);
}

FakeCrontab::~FakeCrontab() {
  if (previousTmpdir_) {
    setenv("TMPDIR", previousTmpdir_->c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
}

}  // namespace testsupport
