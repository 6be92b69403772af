# Warnings are on for our own targets only, never for third-party headers.
function(kestrun_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
endfunction()
