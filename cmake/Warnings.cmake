# SPDX-License-Identifier: GPL-3.0-or-later
# The warnings every target of the tree is built with: link `tesselink_warnings` (PRIVATE) into
# each library, program, test, benchmark, fuzzer and tool. Included by the top project and by
# the fuzzers' own project, so gcc and clang builds see the same set.
option(TESSELINK_WERROR "Treat compiler warnings as errors" OFF)

if(NOT TARGET tesselink_warnings)
  add_library(tesselink_warnings INTERFACE)
  # -Wold-style-cast: the tree has no C-style casts, and a new one would hide a reinterpret or
  # a dropped const. -Wconversion is not here: what it finds are int-to-float conversions in
  # the zoom arithmetic (exact for picture sizes), and clang's adds every signed/unsigned mix.
  target_compile_options(tesselink_warnings INTERFACE
    -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wimplicit-fallthrough -Wold-style-cast)
  if(TESSELINK_WERROR)
    target_compile_options(tesselink_warnings INTERFACE -Werror)
  endif()
endif()
