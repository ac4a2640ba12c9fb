# The capture-file commands of the main window and their progress window.
target_sources(tarvel_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/capturecommands.cpp ${CMAKE_CURRENT_LIST_DIR}/capturecommands.h
    ${CMAKE_CURRENT_LIST_DIR}/progresssimple.cpp ${CMAKE_CURRENT_LIST_DIR}/progresssimple.h
)
