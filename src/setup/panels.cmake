target_sources(nanahoshi_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/settings_panel.cpp ${CMAKE_CURRENT_LIST_DIR}/settings_panel.h
  ${CMAKE_CURRENT_LIST_DIR}/situation_list_editor.cpp ${CMAKE_CURRENT_LIST_DIR}/situation_list_editor.h)
