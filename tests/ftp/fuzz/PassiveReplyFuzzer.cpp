// Parses arbitrary text as the address line of a 227 reply.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ftp/PassiveReply.h"
#include "platform/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const ftp::TIdPassiveTarget target =
        ftp::ParsePassiveReply(std::string(reinterpret_cast<const char*>(data), size));
    (void)target;
  } catch (const platform::EConvertError&) {
  }
  return 0;
}
