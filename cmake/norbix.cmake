# Build helpers shared by every unit.

set(NORBIX_BIN ${CMAKE_BINARY_DIR}/bin)
set(NORBIX_TEST_BIN ${CMAKE_BINARY_DIR}/tests)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${NORBIX_BIN})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${NORBIX_BIN})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
if(NOT WIN32)
  set(CMAKE_SHARED_LIBRARY_PREFIX "lib")
  # Only paths relative to the binary itself: bin/ copied anywhere still finds
  # its libraries, and no binary names the build directory. The old tag
  # (DT_RPATH) on purpose: the loader then also searches the program's folder
  # for what a plug-in needs, so plug-ins in a directory elsewhere
  # (WYX_PLUGIN_DIR) find the driver library beside the program, as Windows does.
  set(CMAKE_BUILD_WITH_INSTALL_RPATH ON)
  set(CMAKE_INSTALL_RPATH "$ORIGIN")
  add_link_options(-Wl,--disable-new-dtags)
endif()

add_compile_options(-Wall -Wextra -Werror)
if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 __USE_MINGW_ANSI_STDIO=1)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(NORBIX_WIN_RUNTIME_DLLS libstdc++-6.dll libgcc_s_dw2-1.dll)
  else()
    set(NORBIX_WIN_RUNTIME_DLLS libstdc++-6.dll libgcc_s_seh-1.dll)
  endif()
endif()

if(NORBIX_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(NORBIX_TSAN AND NOT WIN32)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(NORBIX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Header-only libraries of the host: Boost, nlohmann-json, the date library.
# Natively they are among the host's headers (a copy in the build tree would
# leave the build's path in what the sanitizers record of each header); for
# Windows a folder of the build tree holding just a link to the library's own
# folder keeps the host's other headers out of the build. var receives that
# folder (empty natively).
function(norbix_host_headers var folder probe)
  if(NOT EXISTS /usr/include/${folder}/${probe})
    message(FATAL_ERROR "${folder}/${probe} missing: run scripts/setup.sh")
  endif()
  set(dir "")
  if(WIN32)
    set(dir ${CMAKE_BINARY_DIR}/${folder}-include)
    if(NOT EXISTS ${dir}/${folder})
      file(MAKE_DIRECTORY ${dir})
      file(CREATE_LINK /usr/include/${folder} ${dir}/${folder} SYMBOLIC)
    endif()
  endif()
  set(${var} ${dir} PARENT_SCOPE)
endfunction()

norbix_host_headers(NORBIX_BOOST_INCLUDE boost version.hpp)
norbix_host_headers(NORBIX_JSON_INCLUDE nlohmann json.hpp)
norbix_host_headers(NORBIX_DATE_INCLUDE date date.h)
add_library(norbix_json INTERFACE)
if(NORBIX_JSON_INCLUDE)
  target_include_directories(norbix_json SYSTEM INTERFACE ${NORBIX_JSON_INCLUDE})
endif()

# zlib and pugixml: the Debian packages natively; for Windows the mingw zlib and
# pugixml built from Debian's source package (fetched by scripts/setup.sh).
if(WIN32)
  find_library(NORBIX_ZLIB NAMES libz.a REQUIRED)
  find_path(NORBIX_ZLIB_INCLUDE zlib.h REQUIRED)
  add_library(norbix_zlib INTERFACE)
  target_link_libraries(norbix_zlib INTERFACE ${NORBIX_ZLIB})
  target_include_directories(norbix_zlib SYSTEM INTERFACE ${NORBIX_ZLIB_INCLUDE})
  set(NORBIX_PUGIXML_SRC ${CMAKE_SOURCE_DIR}/build/third-party/pugixml/src)
  if(NOT EXISTS ${NORBIX_PUGIXML_SRC}/pugixml.cpp)
    message(FATAL_ERROR "pugixml source missing: run scripts/setup.sh")
  endif()
  add_library(pugixml STATIC ${NORBIX_PUGIXML_SRC}/pugixml.cpp)
  target_include_directories(pugixml SYSTEM PUBLIC ${NORBIX_PUGIXML_SRC})
  set_target_properties(pugixml PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_compile_options(pugixml PRIVATE -w)
else()
  find_package(ZLIB REQUIRED)
  add_library(norbix_zlib INTERFACE)
  target_link_libraries(norbix_zlib INTERFACE ZLIB::ZLIB)
  find_library(NORBIX_PUGIXML_LIB pugixml REQUIRED)
  find_path(NORBIX_PUGIXML_INCLUDE pugixml.hpp REQUIRED)
  add_library(pugixml INTERFACE)
  target_link_libraries(pugixml INTERFACE ${NORBIX_PUGIXML_LIB})
  target_include_directories(pugixml SYSTEM INTERFACE ${NORBIX_PUGIXML_INCLUDE})
endif()

macro(norbix_setup_gtest)
  if(WIN32)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    foreach(t gtest gtest_main gmock gmock_main)
      if(TARGET ${t})
        target_compile_options(${t} PRIVATE -w)
      endif()
    endforeach()
    add_library(norbix_gtest INTERFACE)
    target_link_libraries(norbix_gtest INTERFACE gmock gtest_main)
  else()
    find_package(GTest REQUIRED)
    add_library(norbix_gtest INTERFACE)
    target_link_libraries(norbix_gtest INTERFACE GTest::gmock GTest::gtest_main)
  endif()
endmacro()

# A test binary's environment: the Wine prefix of this build and the folders of
# the runtime DLLs; natively nothing special.
function(norbix_test_environment out)
  set(env "WYX_LOG_LEVEL=2;NORBIX_BIN=${NORBIX_BIN};NORBIX_FIXTURES=${CMAKE_BINARY_DIR}/fixtures;NORBIX_TEST_BIN=${NORBIX_TEST_BIN};NORBIX_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  if(WIN32)
    list(APPEND env "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix" "WINEDEBUG=-all"
                    "WINEPATH=Z:${NORBIX_BIN}" "WINEDLLOVERRIDES=mscoree,mshtml=")
  endif()
  set(${out} "${env}" PARENT_SCOPE)
endfunction()

# norbix_add_unit_tests(NAME unit SOURCES ... LIBS ...): one test binary per unit,
# registered as one ctest test, with the shared test support (tests/support).
function(norbix_add_unit_tests)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;INCLUDES" ${ARGN})
  if(NOT NORBIX_TESTS)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${NORBIX_TEST_BIN} INSTALL_RPATH "$ORIGIN/../bin")
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} norbix_test_support norbix_gtest)
  target_include_directories(${T_NAME} PRIVATE ${T_INCLUDES})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${NORBIX_TEST_BIN})
  norbix_test_environment(env)
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 600)
endfunction()

# norbix_add_plugin(target SOURCES ...): a plug-in library in bin/plugins, named
# <output>.pi.dll / <output>.pi.so.
function(norbix_add_plugin target)
  cmake_parse_arguments(P "" "OUTPUT;DIR" "SOURCES;LIBS" ${ARGN})
  if(NOT P_OUTPUT)
    set(P_OUTPUT ${target})
  endif()
  # A plug-in's own folder first, as on Windows; then the program's: plug-ins of
  # the tree sit in bin/plugins, fixtures in a folder beside bin/.
  set(P_RPATH "$ORIGIN;$ORIGIN/../bin")
  if(NOT P_DIR)
    set(P_DIR ${NORBIX_BIN}/plugins)
    set(P_RPATH "$ORIGIN;$ORIGIN/..")
    set(shipped ON)
  endif()
  add_library(${target} MODULE ${P_SOURCES})
  target_link_libraries(${target} PRIVATE wyxcore ${P_LIBS})
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  if(WIN32)
    set(suffix ".pi.dll")
  else()
    set(suffix ".pi.so")
  endif()
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${P_OUTPUT} SUFFIX ${suffix}
    LIBRARY_OUTPUT_DIRECTORY ${P_DIR} RUNTIME_OUTPUT_DIRECTORY ${P_DIR})
  if(NOT WIN32)
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "${P_RPATH}")
  endif()
  # Shipped plug-ins only: the test fixtures name a folder of their own.
  if(shipped)
    install(TARGETS ${target} LIBRARY DESTINATION plugins COMPONENT program)
  endif()
endfunction()

# The mingw runtime DLLs ship beside the program.
function(norbix_copy_runtime)
  if(NOT WIN32)
    return()
  endif()
  set(dlls)
  foreach(dll ${NORBIX_WIN_RUNTIME_DLLS})
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    list(APPEND dlls ${path})
  endforeach()
  find_file(NORBIX_WINPTHREAD_DLL libwinpthread-1.dll PATHS /usr/${NORBIX_MINGW_TRIPLET}/lib
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  list(APPEND dlls ${NORBIX_WINPTHREAD_DLL})
  set(NORBIX_RUNTIME_DLL_FILES ${dlls} PARENT_SCOPE)
  add_custom_target(runtime_dlls ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory ${NORBIX_BIN}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dlls} ${NORBIX_BIN}
    VERBATIM)
endfunction()

# norbix_add_fuzzer(NAME name SOURCES ... LIBS ... CORPUS dir [OPTIONS ...]): a
# libFuzzer target, built only in the clang fuzz build (scripts/fuzz.sh), which
# runs it on CORPUS with the libFuzzer OPTIONS (memory bounds, for instance).
function(norbix_add_fuzzer)
  cmake_parse_arguments(F "" "NAME;CORPUS" "SOURCES;LIBS;INCLUDES;OPTIONS" ${ARGN})
  if(NOT NORBIX_FUZZ)
    return()
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers INSTALL_RPATH "$ORIGIN/../bin")
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_include_directories(${F_NAME} PRIVATE ${F_INCLUDES})
  string(REPLACE ";" " " options "${F_OPTIONS}")
  file(APPEND ${CMAKE_BINARY_DIR}/fuzzers.txt "${F_NAME} ${F_CORPUS} ${options}\n")
endfunction()
