// The settings dialog's template, its control identifiers and the
// application icon. Variant B numbers the view options one higher than A
// and C. variant/Variant.cpp holds the same numbers for the code (a unit
// test compares the two).
#pragma once

#define IDD_SETTINGS        102
#define IDI_QUORVELK        128

// Texts and frames without an identifier of their own.
#ifndef IDC_STATIC
#define IDC_STATIC          (-1)
#endif

#define IDC_MUSIC_OFF       1000
#define IDC_MUSIC_ON        1001
#define IDC_ADD             1024
#define IDC_PICTURE_LIST    1026
#define IDC_DELETE          1027
#define IDC_INITIALIZE      1028
#define IDC_EXCHANGE        1029
#define IDC_ADD_FOLDER      1030
// The first entry of the open-file dialog's filter, "All pictures".
#define IDS_ALL_PICTURES    1100
// The line that shows an operation going on: its text and its bar.
#define IDC_PROGRESS_TEXT   1040
#define IDC_PROGRESS_BAR    1041

#if defined(QV_VARIANT_B)
#define IDC_ENLARGE         1037
#define IDC_FIT_SCREEN      1038
#elif defined(QV_VARIANT_A) || defined(QV_VARIANT_C)
#define IDC_ENLARGE         1036
#define IDC_FIT_SCREEN      1037
#else
#error "define QV_VARIANT_A, QV_VARIANT_B or QV_VARIANT_C"
#endif
