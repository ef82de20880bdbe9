#pragma once
#include <filesystem>
#include <string>

#include "DynamicLibrary.h"

namespace host {

// The file the system loaded, as "module FILE", then every field of the module's descriptor
// record, one a line: "OFFSET FIELD VALUE". The creation and deletion functions show as the name
// of the export they point at. Throws
// std::runtime_error naming the file when the record is missing or malformed.
std::string DescribeModule(const DynamicLibrary& library, const std::filesystem::path& file);

}  // namespace host
