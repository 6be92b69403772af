# Warnings are on for our own targets only, never for third-party headers.
option(TOLVANE_WERROR "Treat warnings in our own targets as errors (CI's sanitizer build)" OFF)
function(kestrun_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  if(TOLVANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
