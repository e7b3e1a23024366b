# System DLLs that the program loads on the first call into them instead of
# before its entry point: each of them (and what it pulls in: COM, the shell)
# costs start-up time before anything can be shown, and most are needed only
# later or on a worker. `ztd_delay_import(gdiplus gdiplus.dll)` makes the
# interface library ztd_delay_gdiplus, linked in place of plain `gdiplus`.
# A delay-loaded DLL that cannot be loaded ends the process at the first call;
# only DLLs that every supported Windows ships are listed.
function(ztd_delay_import name dll)
  find_library(ZTD_IMPORT_LIB_${name} NAMES lib${name}.a REQUIRED)
  set(output ${CMAKE_BINARY_DIR}/delayimp/lib${name}_delay.a)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delayimp
    COMMAND bash ${PROJECT_SOURCE_DIR}/tools/delay_import_lib.sh ${CMAKE_NM} ${CMAKE_DLLTOOL}
            ${ZTD_IMPORT_LIB_${name}} ${dll} ${output}
    DEPENDS ${PROJECT_SOURCE_DIR}/tools/delay_import_lib.sh ${ZTD_IMPORT_LIB_${name}}
    COMMENT "Delay-load import library for ${dll}")
  add_custom_target(ztd_delay_${name}_lib DEPENDS ${output})
  add_library(ztd_delay_${name} INTERFACE)
  target_link_libraries(ztd_delay_${name} INTERFACE ${output})
  add_dependencies(ztd_delay_${name} ztd_delay_${name}_lib)
endfunction()
