# Strict warnings for the project's own targets.
function(project_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
  if(WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
