#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ibservice {

// A list of text lines whose owner may veto (by raising) and observe every change.
class TStringList {
 public:
  std::function<void()> OnChanging;
  std::function<void()> OnChange;

  const std::vector<std::string>& Lines() const { return lines_; }
  bool Empty() const { return lines_.empty(); }

  void Clear() {
    Changing();
    lines_.clear();
    Changed();
  }
  void Add(std::string line) {
    Changing();
    lines_.push_back(std::move(line));
    Changed();
  }
  void Assign(std::vector<std::string> lines) {
    Changing();
    lines_ = std::move(lines);
    Changed();
  }

 private:
  void Changing() {
    if (OnChanging) OnChanging();
  }
  void Changed() {
    if (OnChange) OnChange();
  }

  std::vector<std::string> lines_;
};

}  // namespace ibservice
