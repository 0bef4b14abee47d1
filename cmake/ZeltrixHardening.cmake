# The Debian hardening flags, as `dpkg-buildflags` gives them with
# hardening=+bindnow, for the optimised builds (Release, RelWithDebInfo: the
# default build and the package). The sanitizer and fuzz builds go without:
# their own checks cover more, and the checked C library calls would get in
# the way of their interceptors.
option(ZELTRIX_HARDENING "Build Release and RelWithDebInfo with the Debian hardening flags" ON)
if(ZELTRIX_HARDENING)
  set(_zeltrix_optimised "$<CONFIG:Release,RelWithDebInfo>")
  add_compile_definitions("$<${_zeltrix_optimised}:_FORTIFY_SOURCE=2>")
  add_compile_options("$<${_zeltrix_optimised}:-fstack-protector-strong>"
                      "$<${_zeltrix_optimised}:-Wformat>"
                      "$<${_zeltrix_optimised}:-Werror=format-security>")
  add_link_options("$<${_zeltrix_optimised}:LINKER:-z,relro,-z,now>")
endif()
