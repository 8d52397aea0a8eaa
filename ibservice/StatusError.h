#pragma once

#include <ibase.h>

namespace ibservice {

struct ErrorMessageOptions {
  bool IncludeSqlCode = false;
  bool IncludeServerText = true;
};

ErrorMessageOptions GetErrorMessageOptions();
void SetErrorMessageOptions(ErrorMessageOptions options);

// The calling thread's status vector, filled by every client-library call made on that thread.
ISC_STATUS* ThreadStatusVector();

// Raises EIBInterBaseError (EIBInterBaseRoleError for SQL code -551) with the texts of the calling thread's
// status vector, one per line.
[[noreturn]] void RaiseStatusError();

}  // namespace ibservice
