# Fails when the built DLL does not export what the host looks up by name: the descriptor record
# `exports` and the entry points `getPlugin` and `deleteMe`. A module without them is refused at
# `plugin load` with no word of why, so the build says it instead.
# Usage: cmake -DDLL=path/QuillonPlugin.dll -DLISTER=path/dumpbin.exe -P CheckPluginExports.cmake
# LISTER is Visual Studio's dumpbin (run with /exports) or LLVM's llvm-readobj (--coff-exports).

get_filename_component(lister_name "${LISTER}" NAME_WE)
string(TOLOWER "${lister_name}" lister_name)
if(lister_name STREQUAL "dumpbin")
  set(list_exports "${LISTER}" /nologo /exports "${DLL}")
  # "    ordinal hint RVA      name" then one line per export: "      1    0 00001000 deleteMe ..."
  set(export_line "^ +[0-9]+ +[0-9A-Fa-f]+ +[0-9A-Fa-f]+ +")
else()
  set(list_exports "${LISTER}" --coff-exports "${DLL}")
  # One block per export, holding "  Name: deleteMe".
  set(export_line "^ *Name: ")
endif()

execute_process(COMMAND ${list_exports} OUTPUT_VARIABLE listing ERROR_VARIABLE errors
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "Could not list the exports of ${DLL} with ${LISTER}: ${errors}")
endif()

string(REPLACE "\r" "" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(missing "")
foreach(name exports getPlugin deleteMe)
  set(found FALSE)
  foreach(line IN LISTS lines)
    if(line MATCHES "${export_line}${name}( |$)")
      set(found TRUE)
      break()
    endif()
  endforeach()
  if(NOT found)
    list(APPEND missing "${name}")
  endif()
endforeach()

if(missing)
  list(JOIN missing ", " missing)
  message(FATAL_ERROR "${DLL} does not export ${missing}: the host could not load it. "
                      "Its exports, as ${lister_name} lists them:\n${listing}")
endif()
message(STATUS "${DLL} exports exports, getPlugin and deleteMe")
