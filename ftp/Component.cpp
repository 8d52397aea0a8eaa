#include "ftp/Component.h"

#include "ftp/Stack.h"

namespace ftp {
namespace {

std::string StatusText(TIdStatus status, const std::string& argument) {
  switch (status) {
    case TIdStatus::hsResolving:
      return "Resolving hostname " + argument + ".";
    case TIdStatus::hsConnecting:
      return "Connecting to " + argument + ".";
    case TIdStatus::hsConnected:
      return "Connected.";
    case TIdStatus::hsDisconnecting:
      return "Disconnecting.";
    case TIdStatus::hsDisconnected:
      return "Disconnected.";
    case TIdStatus::hsStatusText:
    case TIdStatus::ftpTransfer:
    case TIdStatus::ftpReady:
    case TIdStatus::ftpAborted:
      return argument;
  }
  return argument;
}

}  // namespace

TIdComponent::TIdComponent() { TIdStack::AddUser(); }

TIdComponent::~TIdComponent() { TIdStack::RemoveUser(); }

void TIdComponent::ReportStatus(TIdStatus status, const std::string& argument) {
  if (OnStatus) OnStatus(*this, status, StatusText(status, argument));
}

void TIdComponent::StartWork(TWorkMode mode, std::int64_t maximum) {
  WorkRecord& work = Work(mode);
  if (++work.level != 1) return;
  work.maximum = maximum;
  work.count = 0;
  if (OnWorkBegin) OnWorkBegin(*this, mode, maximum);
}

void TIdComponent::AddWork(TWorkMode mode, std::int64_t count) {
  WorkRecord& work = Work(mode);
  if (work.level < 1) return;
  work.count += count;
  if (OnWork) OnWork(*this, mode, work.count);
}

void TIdComponent::FinishWork(TWorkMode mode) {
  WorkRecord& work = Work(mode);
  if (work.level < 1) return;
  if (work.level == 1 && OnWorkEnd) OnWorkEnd(*this, mode);
  --work.level;
}

}  // namespace ftp
