#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ibservice {

// The service parameter buffer for the given "name=value" lines: version bytes, then one cluster per
// user_name/password line. Client error 88/89 for other names; values longer than 255 bytes are refused.
std::string BuildParameterBuffer(const std::vector<std::string>& params);

// A start request under construction: code bytes and clusters with little-endian lengths and numbers.
class ServiceRequest {
 public:
  void AddByte(std::uint8_t code) { bytes_.push_back(static_cast<char>(code)); }
  // Code, 2-byte length and text; nothing at all when the text is empty. Texts over 65535 bytes are refused.
  void AddText(std::uint8_t code, std::string_view text);
  // Code and the 4-byte value.
  void AddNumber(std::uint8_t code, std::int32_t value);
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Refuses a buffer whose length does not fit the 16-bit length the client library takes for it.
void RequireFits16Bits(std::size_t length, const char* what);

}  // namespace ibservice
