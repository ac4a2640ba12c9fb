# The log view: its geometry, row heights, byte hint window and the view.
target_sources(tarvel_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/bytehintwindow.cpp ${CMAKE_CURRENT_LIST_DIR}/bytehintwindow.h
    ${CMAKE_CURRENT_LIST_DIR}/loglayout.cpp ${CMAKE_CURRENT_LIST_DIR}/loglayout.h
    ${CMAKE_CURRENT_LIST_DIR}/logrowlines.cpp ${CMAKE_CURRENT_LIST_DIR}/logrowlines.h
    ${CMAKE_CURRENT_LIST_DIR}/terminallogview.cpp ${CMAKE_CURRENT_LIST_DIR}/terminallogview.h
)
