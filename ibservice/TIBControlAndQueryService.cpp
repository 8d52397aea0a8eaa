#include "ibservice/TIBControlAndQueryService.h"

#include <ibase.h>

#include <cstring>

#include "ibservice/ClientLibrary.h"
#include "ibservice/ClientText.h"
#include "ibservice/Errors.h"

namespace ibservice {
namespace {

constexpr int kMinBufferSize = 4;
constexpr int kMaxBufferSize = 65535;
constexpr std::size_t kLineTextOffset = 3;

}  // namespace

void TIBControlAndQueryService::SetBufferSize(int value) {
  if (value < kMinBufferSize || value > kMaxBufferSize) {
    throw EIBError(0, 0, "BufferSize must be between 4 and 65535, not " + std::to_string(value));
  }
  bufferSize_ = static_cast<std::uint16_t>(value);
  if (!replyBuffer_.empty()) {
    replyBuffer_.assign(bufferSize_, 0);
  }
}

std::string TIBControlAndQueryService::ReadOutputLine() {
  if (endOfOutput_) {
    return {};
  }
  if (currentAction_ == 0) {
    RaiseClientError(kQueryParamsError);
  }
  queryItems_ = std::string(1, static_cast<char>(isc_info_svc_line));
  Query();
  if (static_cast<unsigned char>(replyBuffer_[0]) != isc_info_svc_line) {
    RaiseClientError(kOutputParsingError);
  }
  const ISC_LONG length = Client().isc_vax_integer(replyBuffer_.data() + 1, 2);
  // The terminator must lie inside the buffer: a length reaching past it is as malformed as a wrong byte.
  if (length < 0 || kLineTextOffset + static_cast<std::size_t>(length) >= replyBuffer_.size() ||
      replyBuffer_[kLineTextOffset + length] != isc_info_end) {
    RaiseClientError(kOutputParsingError);
  }
  if (length == 0) {
    endOfOutput_ = true;
    return {};
  }
  outputSize_ += length;
  if (maxOutputSize_ > 0 && outputSize_ > maxOutputSize_) {
    throw EIBError(
        0, 0, "Saída do serviço de backup excede o limite de " + std::to_string(maxOutputSize_) + " bytes");
  }
  const char* text = replyBuffer_.data() + kLineTextOffset;
  return FromClientText(std::string_view(text, strnlen(text, static_cast<std::size_t>(length))));
}

}  // namespace ibservice
