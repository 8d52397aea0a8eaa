#pragma once

#include <set>
#include <string>

#include "ibservice/StringList.h"
#include "ibservice/TIBBackupRestoreService.h"

namespace ibservice {

enum class TBackupOption {
  IgnoreChecksums,
  IgnoreLimbo,
  MetadataOnly,
  NoGarbageCollection,
  OldMetadataDesc,
  NonTransportable,
  ConvertExtTables,
};
using TBackupOptions = std::set<TBackupOption>;

// Has the server write a backup of one database into one or more files on the server's machine.
class TIBBackupService : public TIBBackupRestoreService {
 public:
  // One file per line: a path, or path "=" length in bytes for a file of several.
  TStringList& BackupFile() { return backupFile_; }
  const TStringList& BackupFile() const { return backupFile_; }
  int BlockingFactor() const { return blockingFactor_; }
  void SetBlockingFactor(int value) { blockingFactor_ = value; }
  const std::string& DatabaseName() const { return databaseName_; }
  void SetDatabaseName(const std::string& value) { databaseName_ = value; }
  const TBackupOptions& Options() const { return options_; }
  void SetOptions(TBackupOptions value) { options_ = std::move(value); }

 protected:
  void BuildStartRequest() override;

 private:
  TStringList backupFile_;
  int blockingFactor_ = 0;
  std::string databaseName_;
  TBackupOptions options_;
};

}  // namespace ibservice
