# The operating system's clock: reading it, and setting its local time of day through the
# platform's own service (the time service over D-Bus on Linux, SetLocalTime on Windows).
add_library(cronalba_os_clock STATIC
    os_clock.h
    system_clock.cpp system_clock.h)
target_include_directories(cronalba_os_clock PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(cronalba_os_clock PUBLIC Qt6::Core PRIVATE cronalba_warnings)

if(WIN32)
    target_sources(cronalba_os_clock PRIVATE
        os_clock_windows.cpp os_clock_windows.h
        windows/set_local_time.cpp windows/set_local_time.h)
    target_link_libraries(cronalba_os_clock PRIVATE advapi32)
else()
    target_sources(cronalba_os_clock PRIVATE os_clock_linux.cpp os_clock_linux.h)
    target_link_libraries(cronalba_os_clock PUBLIC Qt6::DBus)
endif()
