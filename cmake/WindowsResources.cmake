# gyro_windows_resources(TARGET DESCRIPTION)
# Windows only: a version resource from the project's version and, where the
# host's ImageMagick `convert` is found, the program icon, an .ico rendered in the
# build tree from packaging/gyroeval.svg at the sizes Explorer and the taskbar use.
if(WIN32)
  find_program(GYRO_CONVERT_PROGRAM convert)
  set(GYRO_ICON_FILE ${CMAKE_BINARY_DIR}/generated/gyroeval.ico)
  if(GYRO_CONVERT_PROGRAM)
    add_custom_command(OUTPUT ${GYRO_ICON_FILE}
      COMMAND ${GYRO_CONVERT_PROGRAM} -background none ${CMAKE_SOURCE_DIR}/packaging/gyroeval.svg
              -define icon:auto-resize=16,24,32,48,64,128,256 ${GYRO_ICON_FILE}
      DEPENDS ${CMAKE_SOURCE_DIR}/packaging/gyroeval.svg VERBATIM)
    add_custom_target(gyro_icon DEPENDS ${GYRO_ICON_FILE})
  else()
    message(STATUS "ImageMagick convert not found: the Windows programs carry no icon")
  endif()
endif()

function(gyro_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  set(GYRO_RC_DESCRIPTION "${description}")
  set(GYRO_RC_FILE_NAME "${target}.exe")
  if(GYRO_CONVERT_PROGRAM)
    file(TO_CMAKE_PATH "${GYRO_ICON_FILE}" icon)
    set(GYRO_RC_ICON "1 ICON \"${icon}\"")
  else()
    set(GYRO_RC_ICON "")
  endif()
  set(rc ${CMAKE_BINARY_DIR}/generated/${target}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/app/ProgramResources.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  if(GYRO_CONVERT_PROGRAM)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${GYRO_ICON_FILE})
    add_dependencies(${target} gyro_icon)
  endif()
endfunction()
