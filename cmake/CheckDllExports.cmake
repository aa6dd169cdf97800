# cmake -DOBJDUMP=<objdump> -DDLL=<file.dll> -DEXPECTED=<name,name,...> -P CheckDllExports.cmake
# Fails unless the DLL's export table names exactly the expected functions,
# undecorated: a stdcall export that kept its decoration (DravUsbClose@4) is
# one GetProcAddress("DravUsbClose") cannot find.
foreach(var OBJDUMP DLL EXPECTED)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckDllExports.cmake needs -D${var}=...")
  endif()
endforeach()

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed: ${result}")
endif()

string(FIND "${dump}" "[Ordinal/Name Pointer] Table" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${DLL} has no export name table")
endif()
string(SUBSTRING "${dump}" ${start} -1 table)
# The table ends at its first empty line.
string(FIND "${table}" "\n\n" end)
if(NOT end EQUAL -1)
  string(SUBSTRING "${table}" 0 ${end} table)
endif()
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" rows "${table}")
set(exported "")
foreach(row IN LISTS rows)
  string(REGEX REPLACE "^\\[ *[0-9]+\\] " "" name "${row}")
  list(APPEND exported "${name}")
endforeach()

string(REPLACE "," ";" expected "${EXPECTED}")
set(missing ${expected})
list(REMOVE_ITEM missing ${exported})
set(unexpected ${exported})
list(REMOVE_ITEM unexpected ${expected})
list(LENGTH exported count)
if(missing OR unexpected)
  list(JOIN missing " " missing)
  list(JOIN unexpected " " unexpected)
  message(FATAL_ERROR "${DLL} exports ${count} names.\n  missing: ${missing}\n  unexpected: ${unexpected}")
endif()
message(STATUS "${DLL}: ${count} exports, all plain names as expected")
