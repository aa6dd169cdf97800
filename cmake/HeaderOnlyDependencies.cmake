# CLI11 and nlohmann-json, both header-only, from Debian's packages. A cross
# build (MinGW-w64) uses the same headers; it must not search the build
# machine's /usr/include as a whole, whose C library headers would shadow the
# target's, so the two libraries' own folders are copied into the build tree.
if(TARGET CLI11::CLI11)
  return()
endif()

if(NOT CMAKE_CROSSCOMPILING)
  find_package(CLI11 REQUIRED)
  find_package(nlohmann_json REQUIRED)
  return()
endif()

set(_selvarex_header_dir ${CMAKE_BINARY_DIR}/header-only)
foreach(_folder CLI nlohmann)
  find_path(SELVAREX_${_folder}_INCLUDE_DIR ${_folder} PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT SELVAREX_${_folder}_INCLUDE_DIR)
    message(FATAL_ERROR "${_folder}/ not found: scripts/install-deps.sh installs libcli11-dev and nlohmann-json3-dev")
  endif()
  file(COPY ${SELVAREX_${_folder}_INCLUDE_DIR}/${_folder} DESTINATION ${_selvarex_header_dir})
endforeach()

add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 INTERFACE ${_selvarex_header_dir})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${_selvarex_header_dir})
