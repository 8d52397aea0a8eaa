# Windows builds take OpenSSL and libcurl from the cache that scripts/build-windows-deps fills
# (its --prefix option prints the folder to pass as TORVI_WINDOWS_DEPS).
set(TORVI_WINDOWS_DEPS "" CACHE PATH "Folder of the cross-built Windows libraries")
set(TORVI_WINDOWS_DLLS "")
if(WIN32)
  if(NOT TORVI_WINDOWS_DEPS OR NOT EXISTS "${TORVI_WINDOWS_DEPS}/openssl/.complete")
    message(FATAL_ERROR "The Windows build needs the cross-built libraries: run scripts/build-windows-deps "
                        "and pass -DTORVI_WINDOWS_DEPS=$(scripts/build-windows-deps --prefix)")
  endif()
  foreach(library openssl curl qt6-base)
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

# Qt 6 for Windows, when the cache holds it: its moc, uic and rcc are the host's (the same version),
# and the DLLs, plugins and MinGW runtime DLLs a Qt program needs are listed for deployment.
set(TORVI_WINDOWS_QT "")
if(WIN32 AND TORVI_WINDOWS_DEPS AND EXISTS "${TORVI_WINDOWS_DEPS}/qt6-base/.complete")
  set(TORVI_WINDOWS_QT "${TORVI_WINDOWS_DEPS}/qt6-base")
  set(QT_HOST_PATH /usr CACHE PATH "Host Qt whose tools the Windows build runs")
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "Host Qt's CMake packages")
  # Qt's DLLs link the MinGW runtime dynamically (our own programs carry it statically).
  set(TORVI_WINDOWS_RUNTIME_DLLS "")
  foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                    OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${runtime_path}" OR NOT EXISTS "${runtime_path}")
      message(FATAL_ERROR "The MinGW runtime DLL ${runtime} was not found (${CMAKE_CXX_COMPILER})")
    endif()
    list(APPEND TORVI_WINDOWS_RUNTIME_DLLS "${runtime_path}")
  endforeach()
  set(TORVI_WINDOWS_QT_DLLS ${TORVI_WINDOWS_QT}/bin/Qt6Core.dll ${TORVI_WINDOWS_QT}/bin/Qt6Gui.dll
                            ${TORVI_WINDOWS_QT}/bin/Qt6Widgets.dll ${TORVI_WINDOWS_RUNTIME_DLLS})
  # The windows plugin draws on the desktop, offscreen serves the tests; the Vista style is the native look.
  set(TORVI_WINDOWS_QT_PLATFORMS ${TORVI_WINDOWS_QT}/plugins/platforms/qwindows.dll
                                 ${TORVI_WINDOWS_QT}/plugins/platforms/qoffscreen.dll)
  set(TORVI_WINDOWS_QT_STYLES ${TORVI_WINDOWS_QT}/plugins/styles/qwindowsvistastyle.dll)
endif()

# torvi_deploy_windows_qt(<target> [TEST]): on Windows, puts the Qt DLLs (Qt6Test.dll too with TEST),
# the platform and style plugins and the MinGW runtime beside the program, where Qt looks for them.
function(torvi_deploy_windows_qt target)
  cmake_parse_arguments(ARG "TEST" "" "" ${ARGN})
  if(NOT WIN32 OR NOT TORVI_WINDOWS_QT)
    return()
  endif()
  set(dlls ${TORVI_WINDOWS_QT_DLLS})
  if(ARG_TEST)
    list(APPEND dlls ${TORVI_WINDOWS_QT}/bin/Qt6Test.dll)
  endif()
  set(folder $<TARGET_FILE_DIR:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dlls} ${folder}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}/platforms ${folder}/styles
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TORVI_WINDOWS_QT_PLATFORMS} ${folder}/platforms
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TORVI_WINDOWS_QT_STYLES} ${folder}/styles)
  torvi_copy_windows_dlls(${target})
endfunction()
