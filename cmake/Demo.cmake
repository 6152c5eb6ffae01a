# DEMO.QWK: the demo packet, built from its readable description in data/demo with the
# packet writer the tests use.
add_executable(velk-demo-packet tools/MakeDemoPacket.cpp)
target_link_libraries(velk-demo-packet PRIVATE velk_packet)

file(GLOB VELK_DEMO_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/demo/*)
set(VELK_DEMO_PACKET ${CMAKE_BINARY_DIR}/DEMO.QWK)
add_custom_command(
    OUTPUT ${VELK_DEMO_PACKET}
    COMMAND velk-demo-packet ${CMAKE_SOURCE_DIR}/data/demo ${VELK_DEMO_PACKET}
    DEPENDS velk-demo-packet ${VELK_DEMO_SOURCES}
    COMMENT "Generating DEMO.QWK"
    VERBATIM)
add_custom_target(velk_demo ALL DEPENDS ${VELK_DEMO_PACKET})
