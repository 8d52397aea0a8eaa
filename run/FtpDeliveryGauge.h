#pragma once

#include <cstdint>

#include "ftp/FTP.h"
#include "run/RunWindow.h"

namespace run {

// The progress gauge moved by the FTP client's events.
// A transfer of unknown size (a total of 0 or less) leaves the gauge at 0 %.
void IdFTP1WorkBegin(RunWindow& window, std::int64_t workCountMax);
void IdFTP1Work(RunWindow& window, std::int64_t workCount);
void IdFTP1Connected(RunWindow& window);
void IdFTP1Disconnected(RunWindow& window);

// Connects the four handlers to `client`'s OnWorkBegin, OnWork, OnConnected and OnDisconnected.
void ConnectGauge(ftp::TIdFTP& client, RunWindow& window);

}  // namespace run
