# Compiler and linker settings shared by every target.

if(MSVC)
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
endif()

function(zel_apply_settings target)
  target_compile_definitions(${target} PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /utf-8)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    # Nothing but Windows' own DLLs beside the binaries.
    target_link_options(${target} PRIVATE -static)
    if(ZEL_TRAP_UNDEFINED)
      target_compile_options(${target} PRIVATE -fsanitize=undefined,float-cast-overflow
                                               -fsanitize-undefined-trap-on-error)
    endif()
  endif()
endfunction()
