# Qt-free SNMP core: catalogue model, value formats, message tables, session
# and request engine over Net-SNMP, and the main window's catalogue arrays.

file(GLOB KSR_SNMP_CORE_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/core/*.cpp)
add_library(ksr_snmp STATIC ${KSR_SNMP_CORE_SOURCES} ${CMAKE_CURRENT_SOURCE_DIR}/MainArrays.cpp)
target_include_directories(ksr_snmp PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/core ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(ksr_snmp PUBLIC ksr_platform PRIVATE PkgConfig::NETSNMP)

if(NOT KSR_CORE_ONLY)
  add_library(ksr_snmp_qt STATIC ${CMAKE_CURRENT_SOURCE_DIR}/SnmpEventProcessor.cpp)
  target_link_libraries(ksr_snmp_qt PUBLIC ksr_snmp Qt6::Core)
  set_target_properties(ksr_snmp_qt PROPERTIES AUTOMOC ON)
endif()
