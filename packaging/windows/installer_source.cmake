# cmake -DSOURCE=<wxs.in> -DOUTPUT=<wxs> -DPROJECT_VERSION=<v> -DPUBLISHER=<name>
#       -P installer_source.cmake
# run where the stripped programs and the licenses folder lie: the installer's source with its
# version, publisher, a component for each file of the licenses folder, and the installed
# files' size in kilobytes, which the list of installed programs shows.
file(GLOB licences RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/licenses
     ${CMAKE_CURRENT_SOURCE_DIR}/licenses/*)
list(SORT licences)
set(bytes 0)
foreach(file vrx630-eval.exe vrx630ctl.exe)
    file(SIZE ${file} size)
    math(EXPR bytes "${bytes} + ${size}")
endforeach()
set(VRX_LICENSE_COMPONENTS)
set(VRX_LICENSE_REFS)
foreach(name IN LISTS licences)
    file(SIZE licenses/${name} size)
    math(EXPR bytes "${bytes} + ${size}")
    string(MAKE_C_IDENTIFIER "Licence_${name}" id)
    # A component per file, its code derived from the file's name, so it stays the same from
    # one build to the next, as an upgrade wants it.
    string(UUID guid NAMESPACE 6F0E2B4C-1D7A-4C38-9B52-E8A3F6D1C094 NAME "licenses/${name}"
           TYPE SHA1 UPPER)
    string(APPEND VRX_LICENSE_COMPONENTS
           "            <Component Id=\"${id}\" Guid=\"${guid}\" Win64=\"yes\">\n"
           "              <File Id=\"${id}\" Name=\"${name}\" Source=\"licenses/${name}\""
           " KeyPath=\"yes\"/>\n"
           "            </Component>\n")
    string(APPEND VRX_LICENSE_REFS "      <ComponentRef Id=\"${id}\"/>\n")
endforeach()
# The publisher as XML text.
string(REPLACE "&" "&amp;" VRX_PUBLISHER "${PUBLISHER}")
string(REPLACE "<" "&lt;" VRX_PUBLISHER "${VRX_PUBLISHER}")
string(REPLACE "\"" "&quot;" VRX_PUBLISHER "${VRX_PUBLISHER}")
math(EXPR VRX_INSTALLED_KB "(${bytes} + 1023) / 1024")
configure_file(${SOURCE} ${OUTPUT} @ONLY)
