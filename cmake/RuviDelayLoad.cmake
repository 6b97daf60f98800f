# Delay-loaded system DLLs for the installer (Windows build).
#
# The installer is usually started from the user's Downloads folder, and
# runs elevated. The loader resolves an import table before any code of the
# program runs, searching the program's own folder first for every DLL that
# is not a KnownDLL: a DLL planted there would be loaded. So the import
# table names KnownDLLs only; every other system DLL is delay-loaded, that
# is, loaded on its first call, after the program has limited the search to
# the system folder (SetDefaultDllDirectories in its entry point).
#
# ruvi_delayed_import(LIB DLL) makes the target ruvi_delayed_LIB: the
# delay-import library of DLL, made at configure time from the toolchain's
# import library libLIB.a (the names it imports become the .def that
# dlltool --output-delaylib reads). Link it instead of LIB. MinGW's runtime
# (libmingwex) brings the helper the delay-import thunks call.

set(RUVI_DELAYED_DIR ${CMAKE_BINARY_DIR}/delayed)

function(ruvi_delayed_import lib dll)
  find_library(RUVI_IMPORT_LIB_${lib} NAMES lib${lib}.a REQUIRED)
  set(import_lib ${RUVI_IMPORT_LIB_${lib}})
  set(def ${RUVI_DELAYED_DIR}/${lib}.def)
  set(archive ${RUVI_DELAYED_DIR}/lib${lib}_delayed.a)
  if(NOT EXISTS ${archive} OR ${import_lib} IS_NEWER_THAN ${archive})
    execute_process(COMMAND ${CMAKE_NM} ${import_lib} OUTPUT_VARIABLE symbols
                    COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL " I __imp_[^\n]+" imports "${symbols}")
    set(exports "")
    foreach(import IN LISTS imports)
      string(REPLACE " I __imp_" "" name "${import}")
      string(APPEND exports "    ${name}\n")
    endforeach()
    file(WRITE ${def} "LIBRARY ${dll}\nEXPORTS\n${exports}")
    execute_process(
      COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll} --output-delaylib ${archive}
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
  add_library(ruvi_delayed_${lib} STATIC IMPORTED GLOBAL)
  set_target_properties(ruvi_delayed_${lib} PROPERTIES IMPORTED_LOCATION ${archive})
endfunction()

if(WIN32)
  file(MAKE_DIRECTORY ${RUVI_DELAYED_DIR})
  ruvi_delayed_import(bcrypt bcrypt.dll)
  ruvi_delayed_import(comctl32 comctl32.dll)
  ruvi_delayed_import(version version.dll)
  ruvi_delayed_import(wininet wininet.dll)
endif()
