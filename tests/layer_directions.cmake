# Each case compiles one planted include with the include path of a layer: an include against
# the design's directions must fail for want of the header, one along them must compile. The
# planted sources build only when the test runs.
set(PLANTED_INCLUDES
  # case                 layer                   header                           compiles
  "platform_program      stowbox_platform        app/globals.h                    no"
  "ftp_app               stowbox_ftp             app/globals.h                    no"
  "ftp_texts             stowbox_ftp             res/session_texts.h              no"
  "web_windows           stowbox_web             filemanager/file_manager_dlg.h   no"
  "app_filelist          stowbox_app             filelist/file_list_ctrl.h        no"
  "filelist_windows      stowbox_filelist        filemanager/file_manager_dlg.h   no"
  "qt_windows            stowbox_qt              filemanager/file_manager_dlg.h   no"
  "qt_ftp                stowbox_qt              ftp/cancel_tap.h                 no"
  "qt_headless           stowbox_qt              headless/headless_frontend.h     no"
  "headless_qt           stowbox_headless        qt/qt_frontend.h                 no"
  "headless_program      stowbox_headless        app/globals.h                    no"
  "service_client        stowbox_service_core    ftp/ftp_session.h                no"
  "windows_filelist      stowbox_windows         filelist/path_box.h              yes"
  "filelist_ftp          stowbox_filelist        ftp/ftp_session.h                yes"
  "qt_resources          stowbox_qt              res/resource.h                   yes")

foreach(row ${PLANTED_INCLUDES})
  string(REGEX MATCHALL "[^ ]+" fields "${row}")
  list(GET fields 0 name)
  list(GET fields 1 layer)
  list(GET fields 2 header)
  list(GET fields 3 compiles)
  set(source ${CMAKE_CURRENT_BINARY_DIR}/planted/${name}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "#include \"${header}\"\n")
  add_library(planted_${name} OBJECT EXCLUDE_FROM_ALL ${source})
  target_include_directories(planted_${name} PRIVATE
                             $<TARGET_PROPERTY:${layer},INCLUDE_DIRECTORIES>)
  target_compile_definitions(planted_${name} PRIVATE
                             $<TARGET_PROPERTY:${layer},COMPILE_DEFINITIONS>)
  add_test(NAME layers.${name}
           COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target planted_${name})
  # One build at a time in the build folder.
  set_tests_properties(layers.${name} PROPERTIES RESOURCE_LOCK build_folder)
  if(compiles STREQUAL "no")
    set_tests_properties(layers.${name} PROPERTIES
                         PASS_REGULAR_EXPRESSION "${header}: No such file or directory")
  endif()
endforeach()
