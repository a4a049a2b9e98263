# The demo song tools/run plays, written beside the program.
set(demo_song ${MELODARA_OUT}/Demo.mid)
add_custom_command(OUTPUT ${demo_song}
  COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/make_demo_song.py ${demo_song}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_demo_song.py
  COMMENT "Writing the demo song")
add_custom_target(player_demo_song ALL DEPENDS ${demo_song})
# Its words read as words: a syllable that the next continues carries the mark.
add_test(NAME player_demo_song_words
         COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/check_demo_song.py ${CMAKE_CURRENT_LIST_DIR}/make_demo_song.py)
