# The capture-file commands on the real main window.
tarvel_add_test(tst_capturecommands SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_capturecommands.cpp
                LIBRARIES tarvel_ui)
