# Our own targets build with warnings on; a warning in our code is an error
# in the test build so that none creep in.
function(zw_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(ZW_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
option(ZW_WERROR "Treat warnings in our code as errors" OFF)
