# The layers of the program, lowest first. A library sees the folders of its
# own layer and of the layers beneath it, nothing else: its only include
# directory for src/ is a folder in the build tree that holds symlinks to
# exactly those folders. An include of a higher layer is then a file that
# does not exist, and the build stops there.
#
#   core < common < ui < contracts < shapes < menu < capture + scroll < app
set(ZTD_LAYER_ORDER core common ui contracts shapes menu capture scroll app)

# One warning set for all product code.
add_library(ztd_warnings INTERFACE)
if(MSVC)
  target_compile_options(ztd_warnings INTERFACE /W4)
else()
  # Failures are return values and log lines; nothing may throw unnoticed.
  target_compile_options(ztd_warnings INTERFACE -Wall -Wextra -Wconversion -Wno-sign-conversion -fno-exceptions)
endif()

# Everything under src/, for the tests, benchmarks and tools, which may look
# at any layer.
add_library(ztd_src_all INTERFACE)
target_include_directories(ztd_src_all INTERFACE ${CMAKE_SOURCE_DIR}/src)

# ztd_layer_view(<target> <top folder>): gives <target> the view of src/ that
# ends with <top folder> (and every folder below it in ZTD_LAYER_ORDER).
# capture and scroll are one library (the modes) and see each other.
function(ztd_layer_view target top)
  list(FIND ZTD_LAYER_ORDER ${top} topIndex)
  if(topIndex LESS 0)
    message(FATAL_ERROR "ztd_layer_view: unknown layer ${top}")
  endif()
  set(view ${CMAKE_BINARY_DIR}/include-views/${target})
  file(REMOVE_RECURSE ${view})
  file(MAKE_DIRECTORY ${view})
  set(index 0)
  foreach(folder IN LISTS ZTD_LAYER_ORDER)
    if(index LESS_EQUAL topIndex)
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${view}/${folder} SYMBOLIC)
    endif()
    math(EXPR index "${index} + 1")
  endforeach()
  target_include_directories(${target} PRIVATE ${view})
endfunction()
