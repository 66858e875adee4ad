# Every target links this, so every target gets the same warnings, treated as errors.
add_library(velnor_warnings INTERFACE)
if(MSVC)
  target_compile_options(velnor_warnings INTERFACE /W4 /WX /utf-8 /permissive-)
else()
  target_compile_options(velnor_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Werror)
endif()
