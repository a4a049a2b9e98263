# What Melodara.exe carries beside its code: the version, the icon and the
# settings dialogs' resources. The pictures are drawn by the skin generator's
# scripts at build time, into this folder's build folder, where the resource
# scripts find them by name.
enable_language(RC)

# One version number for the program's file and product versions.
set(MELODARA_VERSION 1.0.0.1)
string(REPLACE "." ";" version_parts ${MELODARA_VERSION})
list(GET version_parts 0 version_major)
list(GET version_parts 1 version_minor)
list(GET version_parts 2 version_patch)
list(GET version_parts 3 version_build)
set(player_version_definitions
  MELODARA_VERSION_MAJOR=${version_major} MELODARA_VERSION_MINOR=${version_minor}
  MELODARA_VERSION_PATCH=${version_patch} MELODARA_VERSION_BUILD=${version_build}
  MELODARA_VERSION_TEXT="\\"${MELODARA_VERSION}\\"")

# The program icon.
set(player_icon ${CMAKE_CURRENT_BINARY_DIR}/Melodara.ico)
add_custom_command(OUTPUT ${player_icon}
  COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/skingen/make_program_icon.py ${player_icon}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/skingen/make_program_icon.py
  COMMENT "Drawing the program icon")
set(player_program_rc ${CMAKE_SOURCE_DIR}/player/res/MelodaraProgram.rc)
set_source_files_properties(${player_program_rc} PROPERTIES OBJECT_DEPENDS ${player_icon})

# The player's resources, then what only the program carries: its icon and
# version.
set(player_program_resources ${CMAKE_SOURCE_DIR}/player/res/Melodara.rc ${player_program_rc} ${player_icon})

# The track and staff setting dialog and the general Preferences page. Their
# resources are UTF-8 (code page 65001) and hold the track list's header
# images. Compiled once, for the program and the dialog's test.
set(track_header_images ${CMAKE_CURRENT_BINARY_DIR}/TrackHeader.bmp)
add_custom_command(OUTPUT ${track_header_images}
  COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/skingen/make_default_skin.py --header-images ${track_header_images}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/skingen/make_default_skin.py
  COMMENT "Drawing the track list's header images")
set(settings_rc ${CMAKE_SOURCE_DIR}/player/res/MelodaraSettings.rc)
set_source_files_properties(${settings_rc} PROPERTIES OBJECT_DEPENDS ${track_header_images}
                            COMPILE_OPTIONS "-c;65001")
add_library(player_settings_resources OBJECT ${settings_rc})
target_include_directories(player_settings_resources PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
