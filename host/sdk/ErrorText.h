#pragma once
// Reasons for failed file operations, in UTF-8 as every message of the host is.
#include <string>
#include <system_error>

#include "SdkExport.h"

namespace pluginsdk {

// Why an operation failed, as a message says it after a colon: "No such file or directory". On
// Windows the system's own reasons are in the user's language; they come as UTF-8 too, without
// the full stop and line end the system puts after them.
PLUGINSDK_API std::string ErrorText(const std::error_code& error);

}  // namespace pluginsdk
