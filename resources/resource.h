// Resource ids shared by the .rc file and the code: IDD_ dialogs, IDC_
// controls, IDB_ bitmaps. Plain defines, as the resource compiler reads them.
#pragma once

#define IDD_WAIT 191
#define IDC_WAIT_STATUS 1018
#define IDB_SPLASH_SMALL 197
#define IDB_SPLASH_LARGE 198

// The wait dialog's fixed texts; the posix build prints them.
#define WAIT_CAPTION "Prosím čekejte..."
#define WAIT_TEXT "Kopíruji soubory do profilu uživatele..."
