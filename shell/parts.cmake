# Main-window parts: front panel and lamps, shared checks for Qt callers, the
# wait dialog, About and the menu bar.
add_library(ksr_mainparts STATIC
  ${CMAKE_CURRENT_LIST_DIR}/About.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FrontPanel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LedLamp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainMenu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SharedChecks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Wait.cpp
)
target_include_directories(ksr_mainparts PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ksr_mainparts PUBLIC ksr_checks ksr_binding ksr_snmp ksr_dialogs Qt6::Widgets)
set_target_properties(ksr_mainparts PROPERTIES AUTOMOC ON)
