# The serial port, the TCP client, port numbers and injection.
target_sources(tarvel_link PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/injectioncommand.cpp ${CMAKE_CURRENT_LIST_DIR}/injectioncommand.h
    ${CMAKE_CURRENT_LIST_DIR}/injectionserver.cpp ${CMAKE_CURRENT_LIST_DIR}/injectionserver.h
    ${CMAKE_CURRENT_LIST_DIR}/portmapping.cpp ${CMAKE_CURRENT_LIST_DIR}/portmapping.h
    ${CMAKE_CURRENT_LIST_DIR}/serialport.cpp ${CMAKE_CURRENT_LIST_DIR}/serialport.h
    ${CMAKE_CURRENT_LIST_DIR}/chunkqueue.cpp ${CMAKE_CURRENT_LIST_DIR}/chunkqueue.h
    ${CMAKE_CURRENT_LIST_DIR}/tcpclient.cpp ${CMAKE_CURRENT_LIST_DIR}/tcpclient.h
    ${CMAKE_CURRENT_LIST_DIR}/tcpreader.cpp ${CMAKE_CURRENT_LIST_DIR}/tcpreader.h
)
