# gyro_windows_resources(TARGET DESCRIPTION)
# Windows only: a version resource from the project's version and, where the
# host's ImageMagick `convert` is found, the program icon, an .ico made in the
# build tree from packaging/gyroeval.svg at the sizes Explorer and the taskbar
# use. The SVG is drawn by rsvg-convert where present (ImageMagick reads SVG only
# through a delegate it may lack), else by convert itself.
if(WIN32)
  find_program(GYRO_CONVERT_PROGRAM convert)
  find_program(GYRO_RSVG_PROGRAM rsvg-convert)
  set(GYRO_ICON_FILE ${CMAKE_BINARY_DIR}/generated/gyroeval.ico)
  set(svg ${CMAKE_SOURCE_DIR}/packaging/gyroeval.svg)
  set(sizes -define icon:auto-resize=16,24,32,48,64,128,256)
  if(GYRO_CONVERT_PROGRAM AND GYRO_RSVG_PROGRAM)
    set(png ${CMAKE_BINARY_DIR}/generated/gyroeval-256.png)
    add_custom_command(OUTPUT ${GYRO_ICON_FILE}
      COMMAND ${GYRO_RSVG_PROGRAM} -w 256 -h 256 ${svg} -o ${png}
      COMMAND ${GYRO_CONVERT_PROGRAM} ${png} ${sizes} ${GYRO_ICON_FILE}
      DEPENDS ${svg} VERBATIM)
  elseif(GYRO_CONVERT_PROGRAM)
    add_custom_command(OUTPUT ${GYRO_ICON_FILE}
      COMMAND ${GYRO_CONVERT_PROGRAM} -background none ${svg} ${sizes} ${GYRO_ICON_FILE}
      DEPENDS ${svg} VERBATIM)
  else()
    message(STATUS "ImageMagick convert not found: the Windows programs carry no icon")
  endif()
  if(GYRO_CONVERT_PROGRAM)
    add_custom_target(gyro_icon DEPENDS ${GYRO_ICON_FILE})
  endif()
endif()

function(gyro_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  set(GYRO_RC_DESCRIPTION "${description}")
  set(GYRO_RC_FILE_NAME "${target}.exe")
  set(GYRO_RC_ICON "")
  if(GYRO_CONVERT_PROGRAM)
    set(GYRO_RC_ICON "1 ICON \"${GYRO_ICON_FILE}\"")
  endif()
  set(rc ${CMAKE_BINARY_DIR}/generated/${target}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/app/ProgramResources.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  if(GYRO_CONVERT_PROGRAM)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${GYRO_ICON_FILE})
    add_dependencies(${target} gyro_icon)
  endif()
endfunction()
