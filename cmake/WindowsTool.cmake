# tt_windows_tool(target): the settings every GUI program of the suite shares.
function(tt_windows_tool target)
  target_link_libraries(${target} PRIVATE comctl32 comdlg32 gdi32 user32 shell32 ole32 uuid)
  if(MINGW)
    target_link_options(${target} PRIVATE -municode -mwindows)
  endif()
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()
