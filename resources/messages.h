// Template numbers of the message dialogs and the id of their text.
// The numbers differ between the variants: variant A numbered its dialogs in
// another order. variant/Variant.cpp holds the same numbers for the code
// (a unit test compares the two).
#pragma once

#if defined(QV_VARIANT_A)
#define IDD_MSG_ALREADY_LISTED      140
#define IDD_MSG_CONFIRM_REMOVE      141
#define IDD_MSG_CONFIRM_INITIALIZE  143
#define IDD_MSG_LIST_FULL           139
#define IDD_MSG_UNSUPPORTED_FILE    142
#define IDD_MSG_PICTURE_TOO_LARGE   145
#define IDD_MSG_OUT_OF_MEMORY       147
#define IDD_MSG_CANNOT_DELETE_ALL   148
#define IDD_MSG_CANNOT_SAVE_PICTURE 149
#define IDD_MSG_FOLDER_WITHOUT_PICTURES 150
#elif defined(QV_VARIANT_B) || defined(QV_VARIANT_C)
#define IDD_MSG_ALREADY_LISTED      139
#define IDD_MSG_CONFIRM_REMOVE      140
#define IDD_MSG_CONFIRM_INITIALIZE  141
#define IDD_MSG_LIST_FULL           142
#define IDD_MSG_UNSUPPORTED_FILE    143
#define IDD_MSG_PICTURE_TOO_LARGE   146
#define IDD_MSG_OUT_OF_MEMORY       147
#define IDD_MSG_CANNOT_DELETE_ALL   148
#define IDD_MSG_CANNOT_SAVE_PICTURE 149
#define IDD_MSG_FOLDER_WITHOUT_PICTURES 150
#else
#error "define QV_VARIANT_A, QV_VARIANT_B or QV_VARIANT_C"
#endif

#if defined(QV_VARIANT_A)
#define QV_MSG_CAPTION "QUOR VELK-A Screen Saver"
#elif defined(QV_VARIANT_B)
#define QV_MSG_CAPTION "QUOR VELK-B Screen Saver"
#else
#define QV_MSG_CAPTION "QUOR VELK-C Screen Saver"
#endif

// The centred text of every message dialog (drivers read it back by this id).
#define IDC_MESSAGE_TEXT 1050
