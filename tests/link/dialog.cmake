tarvel_add_test(tst_intedit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_intedit.cpp LIBRARIES tarvel_ui)
tarvel_add_test(tst_newconnection SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_newconnection.cpp
                LIBRARIES tarvel_ui)
