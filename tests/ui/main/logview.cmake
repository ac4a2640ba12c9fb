tarvel_add_test(tst_loglayout SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_loglayout.cpp LIBRARIES tarvel_ui)
tarvel_add_test(tst_terminallogview SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_terminallogview.cpp
                LIBRARIES tarvel_ui)
