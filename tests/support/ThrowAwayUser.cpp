#include "tests/support/ThrowAwayUser.h"

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>

#include "tests/support/ShellCommand.h"
#endif

namespace testsupport {

#ifdef _WIN32
// Windows tests run under Wine, which has no second account to make: never made.
ThrowAwayUser::ThrowAwayUser(const std::string& prefix) : name_(prefix) {}
ThrowAwayUser::~ThrowAwayUser() = default;
bool ThrowAwayUser::Own(const std::string&) const { return false; }
#else
ThrowAwayUser::ThrowAwayUser(const std::string& prefix)
    : name_(prefix + std::to_string(::getpid() % 100000)) {
  if (::geteuid() != 0) return;
  if (RunCommand("useradd --no-create-home --shell /usr/sbin/nologin " + name_).exitCode != 0) return;
  made_ = true;
  if (const passwd* entry = ::getpwnam(name_.c_str())) {
    uid_ = entry->pw_uid;
    gid_ = entry->pw_gid;
  }
}

ThrowAwayUser::~ThrowAwayUser() {
  if (made_) RunCommand("userdel " + name_);
}

bool ThrowAwayUser::Own(const std::string& path) const {
  return made_ && uid_ != 0 && ::lchown(path.c_str(), uid_, gid_) == 0;
}
#endif

}  // namespace testsupport
