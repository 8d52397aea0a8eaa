#include "ibservice/ClientLibrary.h"

#include <mutex>
#include <optional>
#include <utility>

#include "ibservice/Errors.h"
#include "platform/DynamicLibrary.h"

namespace ibservice {
namespace {

struct Binding {
  std::vector<std::string> names = DefaultClientLibraryNames();
  platform::DynamicLibrary library;
  ClientEntries entries;
  int featureLevel = 0;
  // A binding that failed halfway stays failed: every later caller gets the same error.
  std::optional<EOSError> failure;
};

std::mutex& BindingLock() {
  static std::mutex lock;
  return lock;
}

Binding& State() {
  static Binding binding;
  return binding;
}

template <typename Fn>
void BindMandatory(Binding& binding, Fn& slot, const char* name) {
  slot = reinterpret_cast<Fn>(binding.library.Symbol(name));
  if (slot == nullptr) {
    const platform::SystemError& error = binding.library.LastError();
    const std::string message =
        error.code == 0 ? std::string("A call to an OS function failed")
                        : "System Error.  Code: " + std::to_string(error.code) + ".\r\n" + error.text;
    binding.failure.emplace(error.code, message);
    throw *binding.failure;
  }
}

// Stand-ins for the service entry points of a library too old to have them.
constexpr char kRollbackRetaining[] = "isc_rollback_retaining";
constexpr char kServiceAttach[] = "isc_service_attach";
constexpr char kServiceDetach[] = "isc_service_detach";
constexpr char kServiceQuery[] = "isc_service_query";
constexpr char kServiceStart[] = "isc_service_start";

template <const char* kName, typename... Arguments>
ISC_STATUS ISC_EXPORT MissingEntry(Arguments...) {
  RaiseClientError(kIB60FeatureMissing, {kName});
}

// Loads the first of the names that loads and binds its entry points; no error when none loads.
void LoadLocked(Binding& binding) {
  for (const std::string& name : binding.names) {
    if (binding.library.Load(name)) {
      break;
    }
  }
  if (!binding.library.IsLoaded()) {
    return;
  }
  ClientEntries& entries = binding.entries;
  BindMandatory(binding, entries.isc_sqlcode, "isc_sqlcode");
  BindMandatory(binding, entries.isc_sql_interprete, "isc_sql_interprete");
  BindMandatory(binding, entries.isc_interprete, "isc_interprete");
  BindMandatory(binding, entries.isc_vax_integer, "isc_vax_integer");
  entries.isc_rollback_retaining =
      reinterpret_cast<RollbackRetainingFn>(binding.library.Symbol("isc_rollback_retaining"));
  if (entries.isc_rollback_retaining != nullptr) {
    binding.featureLevel = 6;
    BindMandatory(binding, entries.isc_service_attach, "isc_service_attach");
    BindMandatory(binding, entries.isc_service_detach, "isc_service_detach");
    BindMandatory(binding, entries.isc_service_query, "isc_service_query");
    BindMandatory(binding, entries.isc_service_start, "isc_service_start");
  } else {
    binding.featureLevel = 5;
    entries.isc_rollback_retaining = MissingEntry<kRollbackRetaining, ISC_STATUS*, isc_tr_handle*>;
    entries.isc_service_attach = MissingEntry<kServiceAttach, ISC_STATUS*, unsigned short, const ISC_SCHAR*,
                                              isc_svc_handle*, unsigned short, const ISC_SCHAR*>;
    entries.isc_service_detach = MissingEntry<kServiceDetach, ISC_STATUS*, isc_svc_handle*>;
    entries.isc_service_query =
        MissingEntry<kServiceQuery, ISC_STATUS*, isc_svc_handle*, isc_resv_handle*, unsigned short,
                     const ISC_SCHAR*, unsigned short, const ISC_SCHAR*, unsigned short, ISC_SCHAR*>;
    entries.isc_service_start = MissingEntry<kServiceStart, ISC_STATUS*, isc_svc_handle*, isc_resv_handle*,
                                             unsigned short, const ISC_SCHAR*>;
  }
}

void UnloadLocked(Binding& binding) {
  binding.library.Unload();
  binding.entries = ClientEntries{};
  binding.featureLevel = 0;
  binding.failure.reset();
}

}  // namespace

std::vector<std::string> DefaultClientLibraryNames() {
#ifdef _WIN32
  return {"gds32.dll", "fbclient.dll"};
#else
  return {"libfbclient.so.2", "libfbclient.so"};
#endif
}

void SetClientLibraryNames(std::vector<std::string> names) {
  std::lock_guard guard(BindingLock());
  UnloadLocked(State());
  State().names = std::move(names);
}

void RequireClientLibrary() {
  std::lock_guard guard(BindingLock());
  Binding& binding = State();
  if (binding.failure) {
    throw *binding.failure;
  }
  if (!binding.library.IsLoaded()) {
    LoadLocked(binding);
  }
  if (!binding.library.IsLoaded()) {
    RaiseClientError(kGdsLibraryNotFound);
  }
}

bool ClientLibraryLoaded() {
  std::lock_guard guard(BindingLock());
  return State().library.IsLoaded();
}

int ClientFeatureLevel() {
  std::lock_guard guard(BindingLock());
  return State().featureLevel;
}

const ClientEntries& Client() { return State().entries; }

}  // namespace ibservice
