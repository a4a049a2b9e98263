// Resource ids of Melodara.exe (player/res/Melodara.rc).
#pragma once

// Icon
#define kIconProgram 128

// Menus
#define kMenuTrayPopup 155
#define kMenuStaffPopup 156
#define kMenuPlayListPopup 178

// Strings
#define kStrAbout 101
#define kStrClose 102
#define kStrPathTooLong 103
#define kStrMinimize 104
#define kStrTitle 106
#define kStrAlwaysVisible 112
#define kStrScoreType 114
#define kStrAddSongs 115
#define kStrRemoveSongs 116
#define kStrExportList 117
#define kStrImportList 118
#define kStrPrevious 119
#define kStrNext 120
#define kStrStop 121
#define kStrLoopMode 122
#define kStrOrdinalMode 123
#define kStrScoreToggle 124
#define kStrLyricsToggle 125
#define kStrPlayListToggle 126
#define kStrPlay 127
#define kStrPause 128
#define kStrProgress 129
#define kStrVolume 130
#define kStrSinger 131
#define kStrLyricist 132
#define kStrComposer 133
#define kStrVendorSite 135
#define kStrSongMakerToggle 138
#define kStrSearchNews 141
#define kStrVisitHome 142
#define kStrSingerSite 143
#define kStrHelp 144
