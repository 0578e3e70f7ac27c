target_sources(nanahoshi_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/bmi_meter_view.cpp ${CMAKE_CURRENT_LIST_DIR}/bmi_meter_view.h
  ${CMAKE_CURRENT_LIST_DIR}/entry_panel.cpp ${CMAKE_CURRENT_LIST_DIR}/entry_panel.h)
