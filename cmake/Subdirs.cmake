# The project's rules for its folders, libraries and tests.

# Every library can go into a shared object (the gadget library is one).
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
# A name linked that is no target stops the configure instead of becoming -lname.
set(CMAKE_LINK_LIBRARIES_ONLY_TARGETS ON)

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

# wendra_library(NAME [SOURCES files...] [DEPENDS targets...] [PRIVATE targets...]):
# a static library of the named sources, or of every .cpp of the current folder
# when none are named. DEPENDS are what its headers need as well (passed on to
# whoever links it), PRIVATE what only its sources need. Every name must be a
# target of the project or an imported one: a misspelled or missing name stops
# the configure (CMAKE_LINK_LIBRARIES_ONLY_TARGETS), it never quietly drops out.
function(wendra_library name)
  cmake_parse_arguments(L "" "" "SOURCES;DEPENDS;PRIVATE" ${ARGN})
  if(NOT L_SOURCES)
    file(GLOB L_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  if(NOT L_SOURCES)
    message(FATAL_ERROR "${name}: no sources in ${CMAKE_CURRENT_SOURCE_DIR}")
  endif()
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(${name} PUBLIC ${L_DEPENDS} PRIVATE ${L_PRIVATE})
endfunction()

# wendra_test(NAME SOURCES sources... LIBS libs...): one GoogleTest executable, registered with CTest.
function(wendra_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# One GoogleTest program per *Test.cpp of the current folder.
function(wendra_tests_per_file prefix)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*Test.cpp)
  foreach(src ${tests})
    get_filename_component(name ${src} NAME_WE)
    wendra_test(${prefix}_${name} SOURCES ${src} LIBS ${ARGN})
  endforeach()
endfunction()
