#include "ModuleDescription.h"

#include <cstddef>
#include <sstream>

#include "LoadedPlugin.h"
#include "PathText.h"

namespace host {
namespace {

using BakkesMod::Plugin::PluginDescriptor;

// The exported function at `address`, by name, so a listing says where the record points.
std::string ExportAt(const DynamicLibrary& library, const void* address) {
  for (const char* name : {"getPlugin", "deleteMe"}) {
    if (address == library.Symbol(name)) return name;
  }
  return "(not an exported function)";
}

}  // namespace

std::string DescribeModule(const DynamicLibrary& library, const std::filesystem::path& file) {
  const PluginDescriptor& record = ReadDescriptor(library, file);
  std::ostringstream out;
  out << "module " << PathText(library.File()) << '\n';
  const auto field = [&out](std::size_t offset, const char* name, const auto& value) {
    out << offset << ' ' << name << ' ' << value << '\n';
  };
  field(offsetof(PluginDescriptor, apiBuildVersion), "apiBuildVersion", record.apiBuildVersion);
  field(offsetof(PluginDescriptor, reserved), "reserved", record.reserved);
  field(offsetof(PluginDescriptor, sourceFile), "sourceFile", record.sourceFile);
  field(offsetof(PluginDescriptor, className), "className", record.className);
  field(offsetof(PluginDescriptor, displayName), "displayName", record.displayName);
  field(offsetof(PluginDescriptor, version), "version", record.version);
  field(offsetof(PluginDescriptor, pluginType), "pluginType", record.pluginType);
  field(offsetof(PluginDescriptor, create), "create",
        ExportAt(library, reinterpret_cast<const void*>(record.create)));
  field(offsetof(PluginDescriptor, destroy), "destroy",
        ExportAt(library, reinterpret_cast<const void*>(record.destroy)));
  return out.str();
}

}  // namespace host
