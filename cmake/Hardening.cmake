# Hardened binaries whatever the build type, so a package built from any tree
# carries them: stack protector, position-independent executables, relocations
# resolved at start-up and then made read-only.
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-fstack-protector-strong)
add_link_options(LINKER:-z,relro LINKER:-z,now)

# Fortified C library calls need optimisation to see buffer sizes, so Debug
# builds go without. Under AddressSanitizer, which the fuzzers use too, the
# fortified variants would stop a program at the first overflow with glibc's
# bare message, before the sanitizer reports where it happened; the sanitizer
# checks the same calls itself.
# KORVA_FORTIFIED is true in the configurations that get them, for the
# package test to know what it may ask of the binaries.
if(KORVA_SANITIZE OR KORVA_FUZZ)
  set(KORVA_FORTIFIED 0)
else()
  set(KORVA_FORTIFIED "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  add_compile_definitions($<${KORVA_FORTIFIED}:_FORTIFY_SOURCE=2>)
endif()
