#pragma once

#include "run/RunContext.h"

namespace run {

// One way of bringing context.names.localArchivePath to where it is kept. Two roles in a run:
// - the destination copy: copies the archive into EdtDestino, probing the folder first, asking to retry
//   through context.window and rotating old archives when the copy does not fit;
// - the FTP delivery: uploads the archive as context.names.remoteName (in EdtPastaFTP), keeping the
//   configured number of archives on the server and retrying failed attempts (automatically, 10 s apart
//   through context.sleeper, when Check_ErroFTP is on or context.window cannot ask questions).
// A stage reports its own failures in the log and returns whether the archive arrived. Throws nothing.
class DeliveryStage {
 public:
  virtual ~DeliveryStage() = default;
  virtual DeliveryOutcome Perform(RunContext& context) = 0;
};

}  // namespace run
