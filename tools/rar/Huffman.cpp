#include "tools/rar/Huffman.h"

#include <algorithm>
#include <queue>

#include "tools/rar/Alphabet.h"
#include "tools/rar/Error.h"

namespace rar {

namespace {

struct Node {
  std::uint64_t weight;
  int index;
};

// Plain Huffman depths of the used symbols, unlimited.
void BuildDepths(std::span<const std::uint32_t> counts, const std::vector<int>& used,
                 std::vector<std::uint8_t>& lengths) {
  std::vector<int> parent(used.size() * 2, -1);
  auto heavier = [](const Node& a, const Node& b) {
    return a.weight != b.weight ? a.weight > b.weight : a.index > b.index;
  };
  std::priority_queue<Node, std::vector<Node>, decltype(heavier)> queue(heavier);
  for (std::size_t i = 0; i < used.size(); ++i)
    queue.push({counts[static_cast<std::size_t>(used[i])], int(i)});
  int next = static_cast<int>(used.size());
  while (queue.size() > 1) {
    const Node a = queue.top();
    queue.pop();
    const Node b = queue.top();
    queue.pop();
    parent[static_cast<std::size_t>(a.index)] = next;
    parent[static_cast<std::size_t>(b.index)] = next;
    queue.push({a.weight + b.weight, next++});
  }
  for (std::size_t i = 0; i < used.size(); ++i) {
    unsigned depth = 0;
    for (int node = static_cast<int>(i); parent[static_cast<std::size_t>(node)] >= 0;
         node = parent[static_cast<std::size_t>(node)])
      ++depth;
    lengths[static_cast<std::size_t>(used[i])] = static_cast<std::uint8_t>(std::min(depth, 255u));
  }
}

}  // namespace

std::vector<std::uint8_t> HuffmanLengths(std::span<const std::uint32_t> counts) {
  constexpr unsigned maxLength = alphabet::kMaxCodeLength;
  if (counts.size() < 2 || (std::uint64_t{1} << maxLength) < counts.size())
    throw Error("Huffman table cannot be built");
  std::vector<std::uint8_t> lengths(counts.size(), 0);
  std::vector<int> used;
  for (std::size_t s = 0; s < counts.size(); ++s)
    if (counts[s] > 0) used.push_back(static_cast<int>(s));
  if (used.size() < 2) {
    const int partner = (used.empty() || used.front() != 0) ? 0 : 1;
    if (used.empty()) used.push_back(1);
    lengths[static_cast<std::size_t>(used.front())] = 1;
    lengths[static_cast<std::size_t>(partner)] = 1;
    return lengths;
  }
  BuildDepths(counts, used, lengths);

  // Limit the depths, then restore a complete code: the Kraft sum is counted in units of 2^-maxLength.
  const std::uint64_t full = std::uint64_t{1} << maxLength;
  auto weight = [&](int s) { return std::uint64_t{1} << (maxLength - lengths[static_cast<std::size_t>(s)]); };
  for (const int s : used)
    lengths[static_cast<std::size_t>(s)] =
        std::min<std::uint8_t>(lengths[static_cast<std::size_t>(s)], static_cast<std::uint8_t>(maxLength));
  std::uint64_t sum = 0;
  for (const int s : used) sum += weight(s);

  // Rarest first, so that lengthening hurts least and shortening helps most when taken from the back.
  std::vector<int> byCount = used;
  std::stable_sort(byCount.begin(), byCount.end(), [&](int a, int b) {
    return counts[static_cast<std::size_t>(a)] < counts[static_cast<std::size_t>(b)];
  });
  while (sum > full) {
    // Lengthen the rarest symbol among the longest that can still grow.
    int pick = -1;
    for (const int s : byCount) {
      const auto length = lengths[static_cast<std::size_t>(s)];
      if (length < maxLength && (pick < 0 || length > lengths[static_cast<std::size_t>(pick)])) pick = s;
    }
    sum -= weight(pick) / 2;
    ++lengths[static_cast<std::size_t>(pick)];
  }
  for (bool changed = true; sum < full && changed;) {
    changed = false;
    for (auto it = byCount.rbegin(); it != byCount.rend() && sum < full; ++it) {
      auto& length = lengths[static_cast<std::size_t>(*it)];
      if (length > 1 && sum + weight(*it) <= full) {
        sum += weight(*it);
        --length;
        changed = true;
      }
    }
  }
  if (sum != full) throw Error("Huffman table is not complete");
  return lengths;
}

std::vector<std::uint16_t> CanonicalCodes(std::span<const std::uint8_t> lengths) {
  std::vector<std::uint16_t> codes(lengths.size(), 0);
  std::uint32_t code = 0;
  for (unsigned length = 1; length <= 15; ++length) {
    for (std::size_t s = 0; s < lengths.size(); ++s)
      if (lengths[s] == length) codes[s] = static_cast<std::uint16_t>(code++);
    code <<= 1;
  }
  return codes;
}

}  // namespace rar
