# kalemar_library(NAME DIR [DEPS ...]): a static library of every .cpp directly in
# DIR and its listed subfolders, so that a new unit is a new file and no list to edit.
function(kalemar_library name)
  cmake_parse_arguments(ARG "" "" "SUBDIRS;DEPS" ${ARGN})
  set(globs ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(sub IN LISTS ARG_SUBDIRS)
    list(APPEND globs ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${globs})
  if(NOT sources)
    # A subsystem not written yet: nothing to compile, but its users link.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# kalemar_test(NAME DIR DEPS...): one GoogleTest executable of every .cpp in DIR.
function(kalemar_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest_main GTest::gmock GTest::gtest)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    KALEMAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    KALEMAR_BINARY_DIR="${PROJECT_BINARY_DIR}"
    KALEMAR_SAMPLES_DIR="${PROJECT_SOURCE_DIR}/../shared/samples/vsdx"
    KALEMAR_STENCIL_DIR="${KALEMAR_STENCIL_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KALEMAR_STENCIL_PATH=${KALEMAR_STENCIL_DIR}")
endfunction()
