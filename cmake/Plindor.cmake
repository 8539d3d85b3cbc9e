# Helpers shared by the folders' CMakeLists files.

# Data targets that make the program folder register themselves here.
define_property(GLOBAL PROPERTY PLINDOR_DATA_TARGETS BRIEF_DOCS "data targets" FULL_DOCS "targets that fill the program folder")

function(plindor_add_data_target target)
  set_property(GLOBAL APPEND PROPERTY PLINDOR_DATA_TARGETS ${target})
endfunction()

# The data tools only make data: even in a sanitised debug tree they are built
# optimised, without debug information and without the sanitizers, so that neither
# building them nor running them at every data build costs much.
function(plindor_data_tool)
  foreach(target ${ARGN})
    set_property(TARGET ${target} PROPERTY COMPILE_OPTIONS ${PLINDOR_WARNING_OPTIONS} -O2 -g0)
    set_property(TARGET ${target} PROPERTY LINK_OPTIONS "")
  endforeach()
endfunction()

# Hand-written data under content/ is copied into the program folder as it stands.
function(plindor_copy_content)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/content ${CMAKE_SOURCE_DIR}/content/*)
  set(outputs)
  foreach(f ${files})
    if(f MATCHES "README")
      continue()
    endif()
    set(out ${PLINDOR_GAME_DIR}/${f})
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/content/${f} ${out}
      DEPENDS ${CMAKE_SOURCE_DIR}/content/${f} VERBATIM)
    list(APPEND outputs ${out})
  endforeach()
  add_custom_target(content ALL DEPENDS ${outputs})
  plindor_add_data_target(content)
endfunction()

# The program folder: the executable beside every data file the game loads.
function(plindor_game_folder)
  get_property(targets GLOBAL PROPERTY PLINDOR_DATA_TARGETS)
  add_custom_target(gamefolder ALL DEPENDS plindor ${targets})
endfunction()

# Test code runs little but is most of what the build compiles: it is built without
# optimisation (the sanitizers stay), which halves its compile time; the layers it
# tests keep the build type's flags.
function(plindor_test_code target)
  target_compile_options(${target} PRIVATE -O0)
endfunction()

# One test program per folder under tests/, run by ctest with a headless environment.
function(plindor_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(test_${name} ${T_SOURCES})
  plindor_test_code(test_${name})
  target_link_libraries(test_${name} PRIVATE testsupport game ${T_LIBS})
  add_test(NAME ${name} COMMAND test_${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT
    "PLINDOR_GAME_DIR=${PLINDOR_GAME_DIR};PLINDOR_SOURCE_DIR=${CMAKE_SOURCE_DIR};PLINDOR_BINARY_DIR=${CMAKE_BINARY_DIR};PLINDOR_HEADLESS=1;SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()
