# Shared build helpers.

# Warnings for every target of ours.
function(kx30_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    -Wnon-virtual-dtor -Wcast-align -Wunused -Woverloaded-virtual -Wnull-dereference
    -Wimplicit-fallthrough)
  if(KX30_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
      -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# Adds each listed folder that has a CMakeLists.txt.
macro(kx30_add_folders)
  foreach(dir ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endmacro()

# The Qt-free layers must stay free of Qt: a Qt include in any of their sources stops the
# configure step, so nobody can let Qt leak into the core.
function(kx30_forbid_qt)
  foreach(dir ${ARGN})
    file(GLOB_RECURSE sources ${CMAKE_SOURCE_DIR}/${dir}/*.h ${CMAKE_SOURCE_DIR}/${dir}/*.hpp
      ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.cc)
    foreach(src ${sources})
      file(STRINGS ${src} hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt)")
      if(hits)
        message(FATAL_ERROR "${src} includes a Qt header, but ${dir} is a Qt-free layer: ${hits}")
      endif()
    endforeach()
  endforeach()
endfunction()

# A GoogleTest executable registered with CTest.
#   kx30_add_gtest(NAME name SOURCES ... LIBS ... LABELS unit|gui|e2e [TIMEOUT s])
function(kx30_add_gtest)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  kx30_warnings(${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  # Tests are named "<executable>.<Suite>.<Case>", so `ctest -R <executable>` finds them.
  gtest_discover_tests(${T_NAME}
    TEST_PREFIX "${T_NAME}."
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${T_ENVIRONMENT}")
endfunction()
