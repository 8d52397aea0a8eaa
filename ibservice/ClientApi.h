#pragma once

// The entry points of the database client library that the service components bind at run time, typed
// after the library's own header so that status words and handles have the library's real sizes.
#include <ibase.h>

namespace ibservice {

using SqlCodeFn = ISC_LONG(ISC_EXPORT*)(const ISC_STATUS*);
using SqlInterpreteFn = void(ISC_EXPORT*)(short, ISC_SCHAR*, short);
using InterpreteFn = ISC_LONG(ISC_EXPORT*)(ISC_SCHAR*, ISC_STATUS**);
using VaxIntegerFn = ISC_LONG(ISC_EXPORT*)(const ISC_SCHAR*, short);
using RollbackRetainingFn = ISC_STATUS(ISC_EXPORT*)(ISC_STATUS*, isc_tr_handle*);
using ServiceAttachFn = ISC_STATUS(ISC_EXPORT*)(ISC_STATUS*, unsigned short, const ISC_SCHAR*,
                                                isc_svc_handle*, unsigned short, const ISC_SCHAR*);
using ServiceDetachFn = ISC_STATUS(ISC_EXPORT*)(ISC_STATUS*, isc_svc_handle*);
using ServiceQueryFn = ISC_STATUS(ISC_EXPORT*)(ISC_STATUS*, isc_svc_handle*, isc_resv_handle*, unsigned short,
                                               const ISC_SCHAR*, unsigned short, const ISC_SCHAR*,
                                               unsigned short, ISC_SCHAR*);
using ServiceStartFn = ISC_STATUS(ISC_EXPORT*)(ISC_STATUS*, isc_svc_handle*, isc_resv_handle*, unsigned short,
                                               const ISC_SCHAR*);

// One slot per bound entry point, named after the entry it holds.
struct ClientEntries {
  SqlCodeFn isc_sqlcode = nullptr;
  SqlInterpreteFn isc_sql_interprete = nullptr;
  InterpreteFn isc_interprete = nullptr;
  VaxIntegerFn isc_vax_integer = nullptr;
  RollbackRetainingFn isc_rollback_retaining = nullptr;
  ServiceAttachFn isc_service_attach = nullptr;
  ServiceDetachFn isc_service_detach = nullptr;
  ServiceQueryFn isc_service_query = nullptr;
  ServiceStartFn isc_service_start = nullptr;
};

}  // namespace ibservice
