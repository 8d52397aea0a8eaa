#include "ibservice/TIBBackupService.h"

#include <ibase.h>

#include "ibservice/ClientText.h"
#include "ibservice/Errors.h"
#include "platform/Conversions.h"
#include "platform/Text.h"

namespace ibservice {
namespace {

// The options word of a backup start request: one bit per option.
std::uint32_t BackupOptionsWord(const TBackupOptions& options) {
  std::uint32_t word = 0;
  for (const TBackupOption option : options) {
    switch (option) {
      case TBackupOption::IgnoreChecksums:
        word |= isc_spb_bkp_ignore_checksums;
        break;
      case TBackupOption::IgnoreLimbo:
        word |= isc_spb_bkp_ignore_limbo;
        break;
      case TBackupOption::MetadataOnly:
        word |= isc_spb_bkp_metadata_only;
        break;
      case TBackupOption::NoGarbageCollection:
        word |= isc_spb_bkp_no_garbage_collect;
        break;
      case TBackupOption::OldMetadataDesc:
        word |= isc_spb_bkp_old_descriptions;
        break;
      case TBackupOption::NonTransportable:
        word |= isc_spb_bkp_non_transportable;
        break;
      case TBackupOption::ConvertExtTables:
        word |= isc_spb_bkp_convert;
        break;
    }
  }
  return word;
}

}  // namespace

void TIBBackupService::BuildStartRequest() {
  if (databaseName_.empty()) {
    RaiseClientError(kStartParamsError);
  }
  BeginAction(isc_action_svc_backup);
  ServiceRequest request;
  request.AddByte(isc_action_svc_backup);
  request.AddText(isc_spb_dbname, ToClientText(databaseName_));
  request.AddNumber(isc_spb_options, static_cast<std::int32_t>(BackupOptionsWord(options_)));
  if (Verbose()) {
    request.AddByte(isc_spb_verbose);
  }
  if (blockingFactor_ > 0) {
    request.AddNumber(isc_spb_bkp_factor, blockingFactor_);
  }
  for (const std::string& line : backupFile_.Lines()) {
    if (platform::Trim(line).empty()) {
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
      request.AddText(isc_spb_bkp_file, ToClientText(line));
    } else {
      request.AddText(isc_spb_bkp_file, ToClientText(line.substr(0, equals)));
      request.AddNumber(isc_spb_bkp_length, platform::StrToInt(line.substr(equals + 1)));
    }
  }
  startRequest_ = std::move(request);
}

}  // namespace ibservice
