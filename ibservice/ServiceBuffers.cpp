#include "ibservice/ServiceBuffers.h"

#include <ibase.h>

#include <algorithm>
#include <array>

#include "ibservice/Errors.h"
#include "platform/Text.h"

namespace ibservice {
namespace {

struct ParameterName {
  std::string_view name;
  std::uint8_t code;
  bool accepted;
};

constexpr std::array<ParameterName, 12> kParameterNames = {{
    {"user_name", isc_spb_user_name, true},
    {"sys_user_name", isc_spb_sys_user_name, false},
    {"sys_user_name_enc", isc_spb_sys_user_name_enc, false},
    {"password", isc_spb_password, true},
    {"password_enc", isc_spb_password_enc, false},
    {"command_line", isc_spb_command_line, false},
    {"db_name", isc_spb_dbname, false},
    {"verbose", isc_spb_verbose, false},
    {"options", isc_spb_options, false},
    {"connect_timeout", isc_spb_connect_timeout, false},
    {"dummy_packet_interval", isc_spb_dummy_packet_interval, false},
    {"sql_role_name", isc_spb_sql_role_name, false},
}};

constexpr std::string_view kSpbPrefix = "isc_spb_";
constexpr std::size_t kMaxClusterValue = 255;
constexpr std::size_t kMax16Bits = 65535;

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return lower;
}

}  // namespace

std::string BuildParameterBuffer(const std::vector<std::string>& params) {
  std::string buffer = {static_cast<char>(isc_spb_version), static_cast<char>(isc_spb_current_version)};
  for (const std::string& line : params) {
    const std::size_t equals = line.find('=');
    const std::string_view rawName =
        equals == std::string::npos ? std::string_view() : std::string_view(line).substr(0, equals);
    if (platform::Trim(rawName).empty()) {
      continue;
    }
    std::string name = AsciiLower(rawName);
    const std::string_view value = std::string_view(line).substr(equals + 1);
    if (name.starts_with(kSpbPrefix)) {
      name.erase(0, kSpbPrefix.size());
    }
    const auto known = std::find_if(kParameterNames.begin(), kParameterNames.end(),
                                    [&](const ParameterName& entry) { return entry.name == name; });
    if (known == kParameterNames.end()) {
      RaiseClientError(kSpbConstantUnknown);
    }
    if (!known->accepted) {
      RaiseClientError(kSpbConstantNotSupported);
    }
    if (value.size() > kMaxClusterValue) {
      throw EIBError(0, 0,
                     "The value of " + std::string(known->name) + " is longer than 255 bytes (" +
                         std::to_string(value.size()) + " bytes)");
    }
    buffer += static_cast<char>(known->code);
    buffer += static_cast<char>(value.size());
    buffer += value;
  }
  RequireFits16Bits(buffer.size(), "The service parameter buffer");
  return buffer;
}

void ServiceRequest::AddText(std::uint8_t code, std::string_view text) {
  if (text.empty()) {
    return;
  }
  RequireFits16Bits(text.size(), "A start parameter");
  AddByte(code);
  AddByte(static_cast<std::uint8_t>(text.size() & 0xFF));
  AddByte(static_cast<std::uint8_t>((text.size() >> 8) & 0xFF));
  bytes_ += text;
}

void ServiceRequest::AddNumber(std::uint8_t code, std::int32_t value) {
  AddByte(code);
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) {
    AddByte(static_cast<std::uint8_t>((bits >> shift) & 0xFF));
  }
}

void RequireFits16Bits(std::size_t length, const char* what) {
  if (length > kMax16Bits) {
    throw EIBError(0, 0,
                   std::string(what) + " is longer than 65535 bytes (" + std::to_string(length) + " bytes)");
  }
}

}  // namespace ibservice
