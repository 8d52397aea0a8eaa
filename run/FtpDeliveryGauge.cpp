#include "run/FtpDeliveryGauge.h"

namespace run {

void IdFTP1WorkBegin(RunWindow& window, std::int64_t workCountMax) {
  window.SetGaugeProgress(0);
  window.SetGaugeMaximum(workCountMax > 0 ? workCountMax : 0);
}

void IdFTP1Work(RunWindow& window, std::int64_t workCount) {
  window.SetGaugeProgress(workCount);
  window.ProcessMessages();
}

void IdFTP1Connected(RunWindow& window) { window.ShowGauge(); }

void IdFTP1Disconnected(RunWindow& window) { window.HideGauge(); }

void ConnectGauge(ftp::TIdFTP& client, RunWindow& window) {
  client.OnWorkBegin = [&window](ftp::TIdComponent&, ftp::TWorkMode, std::int64_t workCountMax) {
    IdFTP1WorkBegin(window, workCountMax);
  };
  client.OnWork = [&window](ftp::TIdComponent&, ftp::TWorkMode, std::int64_t workCount) {
    IdFTP1Work(window, workCount);
  };
  client.OnConnected = [&window](ftp::TIdComponent&) { IdFTP1Connected(window); };
  client.OnDisconnected = [&window](ftp::TIdComponent&) { IdFTP1Disconnected(window); };
}

}  // namespace run
