# CLI11 (command lines), nlohmann/json (JSON output) and toml++ (configuration files), all
# header-only from Debian (libcli11-dev, nlohmann-json3-dev, libtomlplusplus-dev), as the targets
# vrx_cli11, vrx_json and vrx_toml.
#
# A native build takes them from their CMake packages. A cross build must not put the build
# machine's /usr/include on its include path (its C library headers would shadow the target's),
# so the two header folders are copied into the build tree and only that copy is used.
add_library(vrx_cli11 INTERFACE)
add_library(vrx_json INTERFACE)
add_library(vrx_toml INTERFACE)
if(CMAKE_CROSSCOMPILING)
    set(staged ${CMAKE_BINARY_DIR}/staged-include)
    foreach(library IN ITEMS "cli11;CLI/CLI.hpp" "json;nlohmann/json.hpp" "toml;toml++/toml.h")
        list(GET library 0 name)
        list(GET library 1 header)
        find_path(VRX_${name}_HEADERS ${header} PATHS /usr/include
                  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
        cmake_path(GET header PARENT_PATH folder)
        file(COPY ${VRX_${name}_HEADERS}/${folder} DESTINATION ${staged})
        target_include_directories(vrx_${name} SYSTEM INTERFACE ${staged})
    endforeach()
else()
    find_package(CLI11 CONFIG REQUIRED)
    find_package(nlohmann_json 3 CONFIG REQUIRED)
    target_link_libraries(vrx_cli11 INTERFACE CLI11::CLI11)
    target_link_libraries(vrx_json INTERFACE nlohmann_json::nlohmann_json)
    # Debian's CMake package of toml++ links its shared library; the headers alone are used
    # here, so the programs depend on no further library.
    find_path(VRX_toml_HEADERS toml++/toml.h REQUIRED)
    target_include_directories(vrx_toml SYSTEM INTERFACE ${VRX_toml_HEADERS})
endif()
