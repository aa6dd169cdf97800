# The library host goes beside every program that may load the device library
# through it: the window, the test programs and the benchmarks.
#
# The maker's library is 32-bit. A 64-bit Windows build therefore needs the
# host of a 32-bit build: pass its selvarex-libhost.exe as
# SELVAREX_HOST_EXECUTABLE, and it is placed and installed instead of the host
# this build makes.
set(SELVAREX_HOST_EXECUTABLE "" CACHE FILEPATH
    "A prebuilt selvarex-libhost to place beside the programs (the 32-bit one for a 64-bit Windows build)")

if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 8 AND NOT SELVAREX_HOST_EXECUTABLE)
  message(WARNING
    "A 64-bit Windows build drives the maker's 32-bit Dravolin.dll through the 32-bit "
    "selvarex-libhost.exe of a 32-bit build (see the README): pass it as "
    "-DSELVAREX_HOST_EXECUTABLE=<path>. Until then this build's own 64-bit host is used, "
    "which can load 64-bit libraries only.")
endif()

function(selvarex_host_file out_var)
  if(SELVAREX_HOST_EXECUTABLE)
    set(${out_var} ${SELVAREX_HOST_EXECUTABLE} PARENT_SCOPE)
  else()
    set(${out_var} $<TARGET_FILE:selvarex-libhost> PARENT_SCOPE)
  endif()
endfunction()

# selvarex_place_library_host(<target> [PROGRAM <program target or file>]):
# the host beside the target's executable; PROGRAM puts another program there
# under the host's name (tests of a misbehaving host).
function(selvarex_place_library_host target)
  cmake_parse_arguments(ARG "" "PROGRAM" "" ${ARGN})
  if(ARG_PROGRAM AND TARGET ${ARG_PROGRAM})
    set(host $<TARGET_FILE:${ARG_PROGRAM}>)
    add_dependencies(${target} ${ARG_PROGRAM})
  elseif(ARG_PROGRAM)
    set(host ${ARG_PROGRAM})
  else()
    selvarex_host_file(host)
    add_dependencies(${target} selvarex-libhost)
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${host}
            $<TARGET_FILE_DIR:${target}>/selvarex-libhost${CMAKE_EXECUTABLE_SUFFIX}
    VERBATIM)
endfunction()

function(selvarex_install_library_host)
  if(SELVAREX_HOST_EXECUTABLE)
    install(PROGRAMS ${SELVAREX_HOST_EXECUTABLE} DESTINATION ${CMAKE_INSTALL_BINDIR})
  else()
    install(TARGETS selvarex-libhost RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endfunction()
