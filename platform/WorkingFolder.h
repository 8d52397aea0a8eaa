#pragma once

namespace platform {

// The fixed working folder of a run (backup file, archive, archiver) and the folder created before it.
#ifdef _WIN32
inline constexpr char kWorkingRootFolder[] = "C:\\torvi";
inline constexpr char kWorkingFolder[] = "C:\\torvi\\Backup\\";
#else
inline constexpr char kWorkingRootFolder[] = "/var/tmp/torvi";
inline constexpr char kWorkingFolder[] = "/var/tmp/torvi/Backup/";
#endif

}  // namespace platform
