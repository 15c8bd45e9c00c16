# The main window with the module's start-up (ksr_shell) and the program.
add_library(ksr_shell STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Startup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainLeds.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainCommands.cpp
)
target_include_directories(ksr_shell PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ksr_shell PUBLIC ksr_screens_home ksr_mainparts ksr_binding ksr_platform ksr_dialogs ksr_snmp ksr_snmp_qt Qt6::Widgets)
set_target_properties(ksr_shell PROPERTIES AUTOMOC ON)

add_executable(KSR4710Module ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(KSR4710Module PRIVATE ksr_shell)
set_target_properties(KSR4710Module PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
