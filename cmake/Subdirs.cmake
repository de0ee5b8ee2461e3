# Adds every direct subfolder that has a CMakeLists.txt, in name order, so that
# a new component needs no edit of its parent's list.
function(wendra_add_subfolders)
  file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  list(SORT children)
  foreach(child ${children})
    get_filename_component(dir ${child} DIRECTORY)
    add_subdirectory(${dir})
  endforeach()
endfunction()

# wendra_test(NAME sources... LIBS libs...): one GoogleTest executable, registered with CTest.
function(wendra_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# wendra_folder_library(NAME LINKS...): a static library of every .cpp in the
# current folder, linked to those of LINKS that exist; nothing while the folder
# has no source yet.
function(wendra_folder_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  foreach(lib ${ARGN})
    target_link_libraries(${name} PUBLIC $<TARGET_NAME_IF_EXISTS:${lib}>)
  endforeach()
endfunction()

# One GoogleTest program per *Test.cpp of the current folder.
function(wendra_tests_per_file prefix)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*Test.cpp)
  foreach(src ${tests})
    get_filename_component(name ${src} NAME_WE)
    wendra_test(${prefix}_${name} SOURCES ${src} LIBS ${ARGN})
  endforeach()
endfunction()
