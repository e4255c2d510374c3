# qpb.exe: the builder's GUI (Windows build).
file(GLOB QPB_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/app/*.cpp
     ${CMAKE_CURRENT_SOURCE_DIR}/frame/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/items/*.cpp
     ${CMAKE_CURRENT_SOURCE_DIR}/editors/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/controls/*.cpp)
add_executable(qpb WIN32 ${QPB_SOURCES} res/qpb.rc)
target_link_libraries(qpb PRIVATE qp_uilogic qp_editlogic qp_framework qp_kit qp_model qp_common comctl32 comdlg32 shell32 ole32 gdi32 user32 advapi32)
file(GLOB QPB_ART CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/res/*.bmp ${CMAKE_CURRENT_SOURCE_DIR}/res/*.ico)
set_source_files_properties(res/qpb.rc PROPERTIES OBJECT_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/res/qpb.manifest;${QPB_ART}")
# The builder finds language.ini, kitzip.dll and REDIS\setup.ex_ beside itself, in the build
# tree as in the installed layout.
set(QPB_LANGUAGE_INI ${CMAKE_SOURCE_DIR}/builder/model/language.ini)
add_custom_command(TARGET qpb POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QPB_LANGUAGE_INI} $<TARGET_FILE_DIR:qpb>/language.ini)
if(TARGET setup)
  add_dependencies(qpb setup)
  add_custom_command(TARGET qpb POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:qpb>/REDIS
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:setup> $<TARGET_FILE_DIR:qpb>/REDIS/setup.ex_)
endif()
if(TARGET kitzip_dll)
  add_dependencies(qpb kitzip_dll)
  add_custom_command(TARGET qpb POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:kitzip_dll> $<TARGET_FILE_DIR:qpb>/kitzip.dll)
endif()
qp_deliver(qpb)

# Sheets and wizards, with their portable decisions; "Advanced" loads shadepick.dll from beside
# the builder.
file(GLOB QPB_SHEET_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/sheets/*.cpp
     ${CMAKE_CURRENT_SOURCE_DIR}/wizards/*.cpp)
target_sources(qpb PRIVATE ${QPB_SHEET_SOURCES})
target_link_libraries(qpb PRIVATE qp_sheetlogic)
if(TARGET shadepick)
  add_dependencies(qpb shadepick)
  add_custom_command(TARGET qpb POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:shadepick> $<TARGET_FILE_DIR:qpb>/shadepick.dll)
endif()
