# Binding of variables to Qt controls: binding objects, the edit-box input
# checker and the Qt stand-ins of the desktop controls they work with.
if(NOT KSR_CORE_ONLY)
  add_library(ksr_binding STATIC
    ${CMAKE_CURRENT_SOURCE_DIR}/VtSNMPRequest2Edits.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/Newrequest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/VtEditConstraint.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/widgets/VtEdit.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/widgets/VtRadioGroup.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/widgets/VtListView.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/widgets/VtStatusBar.cpp
  )
  target_include_directories(ksr_binding PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/widgets)
  target_link_libraries(ksr_binding PUBLIC ksr_snmp_qt ksr_snmp ksr_dialogs Qt6::Widgets)
  set_target_properties(ksr_binding PROPERTIES AUTOMOC ON)
  target_compile_options(ksr_binding PRIVATE -Wall -Wextra)
endif()
