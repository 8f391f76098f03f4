# The window's services over Qt: serial control, message box, program end.
add_library(cronalba_platform STATIC
    ${CMAKE_CURRENT_LIST_DIR}/comm_control.h
    ${CMAKE_CURRENT_LIST_DIR}/serial_ports.cpp ${CMAKE_CURRENT_LIST_DIR}/serial_ports.h
    ${CMAKE_CURRENT_LIST_DIR}/serial_port_control.cpp
    ${CMAKE_CURRENT_LIST_DIR}/serial_port_control.h
    ${CMAKE_CURRENT_LIST_DIR}/qt_message_dialog.cpp ${CMAKE_CURRENT_LIST_DIR}/qt_message_dialog.h
    ${CMAKE_CURRENT_LIST_DIR}/immediate_program_end.cpp
    ${CMAKE_CURRENT_LIST_DIR}/immediate_program_end.h
    ${CMAKE_CURRENT_LIST_DIR}/quit_on_signal.cpp ${CMAKE_CURRENT_LIST_DIR}/quit_on_signal.h
    ${CMAKE_CURRENT_LIST_DIR}/message_dialog.h
    ${CMAKE_CURRENT_LIST_DIR}/program_end.h
    ${CMAKE_CURRENT_LIST_DIR}/os_clock.h)
set_target_properties(cronalba_platform PROPERTIES AUTOMOC ON)
target_include_directories(cronalba_platform PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(cronalba_platform
    PUBLIC Qt6::Widgets Qt6::SerialPort
    PRIVATE cronalba_gps cronalba_warnings)
