# Pictures, the splash window and the picture widget.
# Included from src/app/CMakeLists.txt; paths are relative to this file.
set(NANAHOSHI_ART_DIR ${CMAKE_CURRENT_LIST_DIR})

configure_file(${NANAHOSHI_ART_DIR}/art_version.h.in
  ${CMAKE_CURRENT_BINARY_DIR}/generated/app/art/art_version.h @ONLY)
target_include_directories(nanahoshi_widgets PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated)

target_sources(nanahoshi_widgets PRIVATE
  ${NANAHOSHI_ART_DIR}/art_paths.cpp ${NANAHOSHI_ART_DIR}/art_paths.h
  ${NANAHOSHI_ART_DIR}/picture.cpp ${NANAHOSHI_ART_DIR}/picture.h
  ${NANAHOSHI_ART_DIR}/splash_window.cpp ${NANAHOSHI_ART_DIR}/splash_window.h)

# Every picture is addressed as ":/art/<file name>" (see art_paths.h).
set(NANAHOSHI_ART_PICTURES
  svg/ball_blue.svg
  svg/ball_red.svg
  svg/bmi_marker.svg
  svg/count1_beam.svg
  svg/count1_none.svg
  svg/count1_smile.svg
  svg/count1_sulk.svg
  svg/count2_beam.svg
  svg/count2_none.svg
  svg/count2_smile.svg
  svg/count2_sulk.svg
  svg/face_laugh.svg
  svg/face_none.svg
  svg/face_smile.svg
  svg/face_sulk.svg
  svg/help_off.svg
  svg/help_on.svg
  svg/ladybird.svg
  svg/save.svg
  svg/tool_analysis.svg
  svg/tool_calendar.svg
  svg/tool_compare.svg
  svg/tool_entry.svg
  svg/tool_exit.svg
  svg/tool_graph.svg
  svg/tool_help.svg
  svg/tool_notes.svg
  svg/tool_print_screen.svg
  svg/tool_print_sheet.svg
  svg/tool_search.svg
  svg/tool_settings.svg)
list(TRANSFORM NANAHOSHI_ART_PICTURES PREPEND ${NANAHOSHI_ART_DIR}/)
qt_add_resources(nanahoshi_widgets "art"
  PREFIX "/art"
  BASE ${NANAHOSHI_ART_DIR}/svg
  FILES ${NANAHOSHI_ART_PICTURES})
