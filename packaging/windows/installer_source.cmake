# cmake -DSOURCE=<wxs.in> -DOUTPUT=<wxs> -DPROJECT_VERSION=<v> -P installer_source.cmake, run
# where the stripped programs lie: the installer's source with its version and the installed
# files' size in kilobytes, which the list of installed programs shows.
file(SIZE vrx630-eval.exe program)
file(SIZE vrx630ctl.exe tool)
math(EXPR VRX_INSTALLED_KB "(${program} + ${tool} + 1023) / 1024")
configure_file(${SOURCE} ${OUTPUT} @ONLY)
