#pragma once

#include <string>
#include <vector>

#include "ibservice/ClientApi.h"

namespace ibservice {

// The file names tried in order when the client library is loaded.
std::vector<std::string> DefaultClientLibraryNames();
// Replaces the names tried by the next load (tests point it at a library of their own); unloads first.
void SetClientLibraryNames(std::vector<std::string> names);

// Loads and binds the client library once per process; EIBClientError 1 when no file of the names loads,
// EOSError when a mandatory entry point is missing (then also for every later caller).
void RequireClientLibrary();
bool ClientLibraryLoaded();

// 6 when the library has the service entry points, 5 when they are stand-ins that raise client error 3.
int ClientFeatureLevel();
// The bound entry points; valid after RequireClientLibrary succeeded.
const ClientEntries& Client();

}  // namespace ibservice
