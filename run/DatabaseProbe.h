#pragma once

#include "app/BackupSettings.h"

namespace run {

// Attaches to the service manager of the settings' database server with the settings' user and
// password, as the database stage does, and detaches: the server answers and takes the login. Failures
// (client library missing, server unreachable, login refused) raise the database client's errors.
void ProbeDatabaseServer(const app::BackupSettings& settings);

}  // namespace run
