# The Windows build: both modules as DLLs on the Win32 platform layer, and the tests that need
# neither Open CASCADE nor Qt (neither is packaged for MinGW). Included by the top CMakeLists.txt
# when cross-compiling with cmake/mingw-w64.cmake.
find_package(Threads REQUIRED)

# RapidJSON is header-only; its folder is reached through one of its own, so that none of the
# build machine's other headers can shadow the MinGW ones.
set(TOLVANE_RAPIDJSON_ROOT ${CMAKE_BINARY_DIR}/third_party/include)
file(MAKE_DIRECTORY ${TOLVANE_RAPIDJSON_ROOT})
if(NOT EXISTS ${TOLVANE_RAPIDJSON_ROOT}/rapidjson)
  file(CREATE_LINK /usr/include/rapidjson ${TOLVANE_RAPIDJSON_ROOT}/rapidjson SYMBOLIC)
endif()
set(RAPIDJSON_INCLUDE_DIRS ${TOLVANE_RAPIDJSON_ROOT})

# Wide-character Win32 API, nothing of windows.h's min/max macros, and M_PI from <cmath>.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 _USE_MATH_DEFINES)

if(TOLVANE_BUILD_TESTS)
  enable_testing()
  # GoogleTest from Debian's sources, compiled with the same toolchain.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(lib gtest gtest_main gmock)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
  include(GoogleTest)
endif()

# One CTest per test program: each Wine start costs a second or so, so the program's cases
# run in one process and its own summary gives the count.
function(tolvane_windows_tests target)
  add_test(NAME ${target} COMMAND ${target} ${ARGN})
  set_tests_properties(${target} PROPERTIES ENVIRONMENT "WINEDEBUG=-all")
endfunction()

foreach(dir platform host core addin transfer vantrel)
  add_subdirectory(${dir})
endforeach()

# The export tables of both modules hold exactly their named entry points.
if(TOLVANE_BUILD_TESTS)
  find_program(TOLVANE_OBJDUMP NAMES ${TOLVANE_MINGW_PREFIX}-objdump REQUIRED)
  set(kestrun_exports MardelImport_DrawJson MardelImport_ListProductSourceParts
      MardelImport_FreeProductSourcePartSpecs MardelImport_AssignProductSourcePartNumber
      MardelImport_SetLogSink MardelImport_SetReportSink MardelImport_SetReportSinkWithFlags
      MardelImport_GetReportSink
      _ZN6wenlow17ImportJsonToCatiaEPN4host8DocumentEPKhyPK19MardelImportOptionsP18MardelImportResult)
  set(vantrel_exports CreateTIECATIAfrGeneralWksAddinVantrelAddin fctCreateVantrelCmd)
  foreach(module Kestrun Vantrel)
    string(TOLOWER ${module} lower)
    string(REPLACE ";" "\\;" expected "${${lower}_exports}")
    add_test(NAME ${module}_exports COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${TOLVANE_OBJDUMP}
             -DMODULE=$<TARGET_FILE:${module}> "-DEXPECTED=${expected}"
             -P ${PROJECT_SOURCE_DIR}/cmake/CheckExports.cmake)
  endforeach()
endif()
