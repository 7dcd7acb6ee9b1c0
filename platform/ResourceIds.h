/* Resource ids shared by the program and its resource script (plain C macros: windres reads this file). */
#ifndef TAMBERLINOX_RESOURCE_IDS_H
#define TAMBERLINOX_RESOURCE_IDS_H

#define IDI_MAIN 1          /* 32x32, 16 colours: the main window and the tray icon */
#define IDI_FORMS 2         /* 32x32, 16 colours: the hot key dialog and the About window */
#define IDB_ABOUT_BACK 10   /* 400x300, 24-bit: the About window's background */
#define IDB_ABOUT_BUTTON 11 /* 115x270, 24-bit: the picture of the About window's "Close Form" button */

#endif
