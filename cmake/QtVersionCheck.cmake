# The input hold (src/ui/InputHold.cpp) copies Qt's private window-system events and relies on how Qt delivers
# them (which events reach the window-system handler, the ShortcutOverride among them). Both may change with any
# Qt release, so the build takes only the Qt the hold was written for; the program checks the Qt it runs on too.
set(MESK_HOLD_QT_VERSION 6.4.2)

function(mesk_check_hold_qt_version found)
    if(NOT found VERSION_EQUAL MESK_HOLD_QT_VERSION)
        message(FATAL_ERROR
            "Qt ${found} was found, but the input hold (src/ui/InputHold.cpp) was written for Qt "
            "${MESK_HOLD_QT_VERSION}. It copies Qt's private window-system events: check it against Qt ${found}'s "
            "qwindowsysteminterface_p.h and its key delivery, then set MESK_HOLD_QT_VERSION in "
            "cmake/QtVersionCheck.cmake.")
    endif()
endfunction()

# cmake -DMESK_CHECK_QT=<version> -P cmake/QtVersionCheck.cmake runs the check alone.
if(CMAKE_SCRIPT_MODE_FILE AND DEFINED MESK_CHECK_QT)
    mesk_check_hold_qt_version(${MESK_CHECK_QT})
endif()
