#pragma once
// The ids of the program's resources and of the Options dialog's controls (program.rc), shared by
// the resource script and the code. The numbers are the dialog's own, so the same ids reach the
// same controls in every translation of the template.
#define HG_DIALOG_OPTIONS 101
#define HG_DIALOG_ABOUT 136
#define HG_ICON_PROGRAM 135

#define HG_GROUP_VIDEO 1048
#define HG_GROUP_SOUND 1049
#define HG_GROUP_GRAPHICS 1050
#define HG_GROUP_PRODUCTS 1051
#define HG_GROUP_MISC 1053
#define HG_RESOLUTION 1016
#define HG_USE_DESKTOP 1015
#define HG_ENABLE_MUSIC 1012
#define HG_VOLUME 1013
#define HG_VOLUME_LABEL 1047
#define HG_GAMMA 1007
#define HG_GAMMA_LABEL 1054
#define HG_VISIT_TEXT 1055
#define HG_VISIT 1028
#define HG_ABOUT 1019
#define HG_RESTORE_DEFAULTS 1031
#define HG_OK 1032
#define HG_CANCEL 1034
#define HG_SHOW_FPS 1008
#define HG_EXIT_ON_MOUSE_MOVE 1010
#define HG_SHOW_TIME 1037
#define HG_STYLE_24H 1038
#define HG_STYLE_12H 1024
// Controls the first template had without ids, and the monitor choice added since.
#define HG_ROOM_PICTURE 1056
#define HG_MONITOR_LABEL 1057
#define HG_MONITOR 1058
#define HG_ABOUT_LOGO 1059
#define HG_ABOUT_PRODUCT 1060
#define HG_ABOUT_OK 1
