#pragma once

#include <functional>
#include <string>

#include "run/DeliveryStage.h"

namespace run {

// The copy of the archive to EdtDestino: each pass proves that a file can be created there, copies the
// archive and, once a copy has gone through without leaving the archive (a full medium), first deletes the
// "bk*.rar" with the oldest creation time. A destination that cannot be written asks the user, through
// the window, whether to try again.
class DestinationCopy final : public DeliveryStage {
 public:
  // Copies over an existing target; false when the copy failed (a partial copy is not left behind).
  using CopyFunction = std::function<bool(const std::string& from, const std::string& to)>;

  DestinationCopy();
  explicit DestinationCopy(CopyFunction copy);

  DeliveryOutcome Perform(RunContext& context) override;

 private:
  CopyFunction copy_;
};

// The retry question's caption and text for the destination `folder`; lines are broken by a carriage return.
inline constexpr char kDestinationQuestionCaption[] = "teste";
std::string DestinationQuestion(const std::string& folder);

}  // namespace run
