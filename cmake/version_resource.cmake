# vrx_add_version_resource(<target> <description> [ICON <file>]): on Windows, the program file's
# version resource (the project's version, read back by the program for its title) and its icon.
function(vrx_add_version_resource target description)
    if(NOT WIN32)
        return()
    endif()
    cmake_parse_arguments(ARG "" "ICON" "" ${ARGN})
    set(VRX_RC_NAME ${target})
    set(VRX_RC_DESCRIPTION "${description}")
    set(VRX_RC_ICON "")
    if(ARG_ICON)
        # IDI_ICON1 is the name Qt takes the windows' icon from.
        set(VRX_RC_ICON "IDI_ICON1 ICON \"${ARG_ICON}\"")
    endif()
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/version_resource.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
