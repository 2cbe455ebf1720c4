# One static library per source folder: every .cpp of the folder (and of its subfolders, which
# group a concern such as the office suite) belongs to it, so adding a class never means editing
# a list of files.
function(pressling_library name)
  cmake_parse_arguments(ARG "" "" "PUBLIC;PRIVATE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  # A subfolder with a CMakeLists.txt of its own is a library of its own (the notifier window
  # beside the engine that must not need Qt Widgets).
  file(GLOB_RECURSE nested LIST_DIRECTORIES false CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  foreach(list_file ${nested})
    get_filename_component(nested_dir ${list_file} DIRECTORY)
    list(FILTER sources EXCLUDE REGEX "^${nested_dir}/")
    list(FILTER headers EXCLUDE REGEX "^${nested_dir}/")
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_PUBLIC})
  endif()
endfunction()

# One test executable per area (a folder under tests/), each test case a CTest test.
function(pressling_test area)
  cmake_parse_arguments(ARG "WHOLE" "TIMEOUT" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(target test_${area})
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} testsupport GTest::gtest GTest::gtest_main)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(environment "QT_QPA_PLATFORM=offscreen;PRESSLING_SOURCE_DIR=${PROJECT_SOURCE_DIR};PRESSLING_BINARY_DIR=${PROJECT_BINARY_DIR}")
  if(ARG_WHOLE)
    # Areas whose cases share an expensive set-up (a running office suite) run as one test.
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${environment}")
  else()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    # CMake 3.25 writes a list-valued property of discovered tests as separate arguments, so
    # that only the first variable would arrive. A file of our own, read after the discovered
    # tests, gives each of them the whole environment.
    set(environment_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_environment.cmake)
    file(WRITE ${environment_file}
      "if(${target}_TESTS)\n  set_tests_properties(\${${target}_TESTS} PROPERTIES ENVIRONMENT \"${environment}\")\nendif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${environment_file})
  endif()
endfunction()
