# The connection dialog and its numeric edit.
target_sources(tarvel_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/customnumedit.cpp ${CMAKE_CURRENT_LIST_DIR}/customnumedit.h
    ${CMAKE_CURRENT_LIST_DIR}/intedit.cpp ${CMAKE_CURRENT_LIST_DIR}/intedit.h
    ${CMAKE_CURRENT_LIST_DIR}/newconnection.cpp ${CMAKE_CURRENT_LIST_DIR}/newconnection.h
)
