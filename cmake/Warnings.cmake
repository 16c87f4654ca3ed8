# The warnings every target of the tree is built with: link `tesselink_warnings` (PRIVATE) into
# each library, program, test, benchmark, fuzzer and tool. Included by the top project and by
# the fuzzers' own project, so gcc and clang builds see the same set.
option(TESSELINK_WERROR "Treat compiler warnings as errors" OFF)

if(NOT TARGET tesselink_warnings)
  add_library(tesselink_warnings INTERFACE)
  target_compile_options(tesselink_warnings INTERFACE
    -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wimplicit-fallthrough)
  if(TESSELINK_WERROR)
    target_compile_options(tesselink_warnings INTERFACE -Werror)
  endif()
endif()
