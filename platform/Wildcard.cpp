#include <string>

#include "platform/Encoding.h"
#include "platform/Files.h"

namespace platform {
namespace {

std::u32string Folded(const std::string& text) {
  std::u32string codePoints = Utf8ToUtf32(text);
  for (char32_t& c : codePoints) c = FoldCase(c);
  return codePoints;
}

}  // namespace

bool MatchesWildcard(const std::string& name, const std::string& mask) {
  const std::u32string n = Folded(name);
  const std::u32string m = Folded(mask);
  // Greedy matching with one backtrack point: the last '*' seen and where the name stood then.
  std::size_t ni = 0, mi = 0, starMask = std::u32string::npos, starName = 0;
  while (ni < n.size()) {
    if (mi < m.size() && (m[mi] == U'?' || m[mi] == n[ni])) {
      ++ni, ++mi;
    } else if (mi < m.size() && m[mi] == U'*') {
      starMask = mi++;
      starName = ni;
    } else if (starMask != std::u32string::npos) {
      mi = starMask + 1;
      ni = ++starName;
    } else {
      return false;
    }
  }
  while (mi < m.size() && m[mi] == U'*') ++mi;
  return mi == m.size();
}

}  // namespace platform
