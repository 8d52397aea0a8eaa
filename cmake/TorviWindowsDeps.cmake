# Windows builds take OpenSSL and libcurl from the cache that scripts/build-windows-deps fills
# (its --prefix option prints the folder to pass as TORVI_WINDOWS_DEPS).
set(TORVI_WINDOWS_DEPS "" CACHE PATH "Folder of the cross-built Windows libraries")
set(TORVI_WINDOWS_DLLS "")
if(WIN32)
  if(NOT TORVI_WINDOWS_DEPS OR NOT EXISTS "${TORVI_WINDOWS_DEPS}/openssl/.complete")
    message(FATAL_ERROR "The Windows build needs the cross-built libraries: run scripts/build-windows-deps "
                        "and pass -DTORVI_WINDOWS_DEPS=$(scripts/build-windows-deps --prefix)")
  endif()
  foreach(library openssl curl)
    if(EXISTS "${TORVI_WINDOWS_DEPS}/${library}/.complete")
      list(APPEND CMAKE_FIND_ROOT_PATH "${TORVI_WINDOWS_DEPS}/${library}")
      list(APPEND CMAKE_PREFIX_PATH "${TORVI_WINDOWS_DEPS}/${library}")
    endif()
  endforeach()
  set(OPENSSL_ROOT_DIR "${TORVI_WINDOWS_DEPS}/openssl")
  file(GLOB TORVI_WINDOWS_DLLS "${TORVI_WINDOWS_DEPS}/openssl/bin/*.dll" "${TORVI_WINDOWS_DEPS}/curl/bin/*.dll")
endif()

# torvi_copy_windows_dlls(<target>): on Windows, puts the OpenSSL and libcurl DLLs beside the program,
# where Windows (and Wine) looks for them first.
function(torvi_copy_windows_dlls target)
  if(WIN32 AND TORVI_WINDOWS_DLLS)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TORVI_WINDOWS_DLLS} $<TARGET_FILE_DIR:${target}>)
  endif()
endfunction()
