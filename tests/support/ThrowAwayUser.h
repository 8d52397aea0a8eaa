#pragma once

#include <string>

namespace testsupport {

// A local user made for one test and removed after it: the other user of the machine, for the tests of
// what one user's files can do to another's run. Making one needs the superuser and useradd (none is
// made on Windows); when it cannot be made, Made() is false and the test says so.
class ThrowAwayUser {
 public:
  // The name is `prefix` followed by digits of this process.
  explicit ThrowAwayUser(const std::string& prefix = "torvitest");
  ~ThrowAwayUser();
  ThrowAwayUser(const ThrowAwayUser&) = delete;
  ThrowAwayUser& operator=(const ThrowAwayUser&) = delete;

  bool Made() const { return made_; }
  const std::string& Name() const { return name_; }
  // Gives the file, folder or link at `path` (the link itself) to this user; false when that fails.
  bool Own(const std::string& path) const;

 private:
  std::string name_;
  bool made_ = false;
  unsigned uid_ = 0;
  unsigned gid_ = 0;
};

}  // namespace testsupport
