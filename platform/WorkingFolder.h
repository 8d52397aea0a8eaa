#pragma once

namespace platform {

// The fixed working folder of a run (backup file, archive, archiver).
#ifdef _WIN32
inline constexpr char kWorkingFolder[] = "C:\\torvi\\Backup\\";
#else
inline constexpr char kWorkingFolder[] = "/var/tmp/torvi/Backup/";
#endif

}  // namespace platform
