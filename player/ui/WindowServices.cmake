# Snapping, subclassing, fonts, colours, links, the tree property sheet and the
# folder picker: part of the framework library, with a test program of their own.
target_sources(player_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/src/CColorButton.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/CHyperLink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/CLinkLabel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/CLogFont.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/CScrollText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/CPageFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/CSubclassManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/CTreePropSheet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/FolderBrowser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/SnapObjects.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/SnapWindows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/WebPages.cpp)
target_link_libraries(player_ui PUBLIC shell32 comdlg32 ole32)

melodara_add_test(player_ui_services_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tests/ServicesFixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/SubclassManagerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/SnapGeometryTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/SnapWindowsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/LogFontTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/LinkLabelTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/ColorButtonTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/HyperLinkTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/PageFrameTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/TreePropSheetTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/FolderBrowserTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/ServicesTest.rc
  LIBS player_ui player_ui_skin_fixture
  DEPENDS player_resources
  TIMEOUT 300
  SCREEN)
