tarvel_add_test(tst_portmapping SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_portmapping.cpp LIBRARIES tarvel_link)
tarvel_add_test(tst_serialport SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_serialport.cpp LIBRARIES tarvel_link)
tarvel_add_test(tst_tcpclient SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_tcpclient.cpp LIBRARIES tarvel_link)
tarvel_add_test(tst_injection SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_injection.cpp LIBRARIES tarvel_link)
