; The installer of one variant, made by the build (installer/CMakeLists.txt):
;   makensis -INPUTCHARSET UTF8 -DVARIANT=B -DLETTER=b -DVERSION=1.0.0
;            -DPROGRAM=quorvelb.scr -DPLACEHOLDER=nofile.bmp
;            -DINSTALL_FILES=f.nsh -DUNINSTALL_FILES=g.nsh -DOUTFILE=x.exe
;            [-DICON=quorvelk.ico] quorvelk.nsi
; It puts the program into the system folder and the variant data directory
; beside it (the programs find both there by fixed names), registers the
; uninstaller with Add/Remove Programs and, if the user keeps the box ticked,
; makes the program the current screen saver. The uninstaller takes away
; what the installer put and nothing else.

Unicode true
; A 32-bit installer cannot write the 64-bit system folder the programs
; read from (it would be redirected to SysWOW64).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh

!define PRODUCT "QUOR VELK-${VARIANT} Screen Saver"
!define PUBLISHER "Tarn Corporation"
!define PROGRAM_NAME "quorvel${LETTER}.scr"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SETTINGS_KEY "Software\${PUBLISHER}\${PRODUCT}"
!define DESKTOP_KEY "Control Panel\Desktop"
; The placeholder bitmap lives in variant C's directory for all three
; variants; Windows' shared-file counts say how many installs still need it.
!define SHARED_DIR "$SYSDIR\QUORvelkcsrc"
!define SHARED_FILE "${SHARED_DIR}\nofile.bmp"
!define SHARED_KEY "Software\Microsoft\Windows\CurrentVersion\SharedDLLs"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$SYSDIR\QUORvelk${LETTER}src"
BrandingText "${PUBLISHER}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileDescription "${PRODUCT} installer"
VIAddVersionKey LegalCopyright "${PUBLISHER}"

Var Reinstall  ; 1 when this variant is installed already

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!ifdef ICON
  !define MUI_ICON "${ICON}"
  !define MUI_UNICON "${ICON}"
!endif

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$SYSDIR\${PROGRAM_NAME}"
!define MUI_FINISHPAGE_RUN_PARAMETERS "/c"
!define MUI_FINISHPAGE_RUN_TEXT "$(TextOpenSettings)"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for users whose language is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString TextProgram ${LANG_ENGLISH} "${PRODUCT} (program and pictures)"
LangString TextProgram ${LANG_JAPANESE} "${PRODUCT}（プログラムと画像）"
LangString TextMakeCurrent ${LANG_ENGLISH} "Make it the current screen saver"
LangString TextMakeCurrent ${LANG_JAPANESE} "現在のスクリーン セーバーにする"
LangString TextOpenSettings ${LANG_ENGLISH} "Open the screen saver's settings now"
LangString TextOpenSettings ${LANG_JAPANESE} "スクリーン セーバーの設定を今すぐ開く"
LangString TextRemoveProgram ${LANG_ENGLISH} "${PRODUCT} (program and pictures)"
LangString TextRemoveProgram ${LANG_JAPANESE} "${PRODUCT}（プログラムと画像）"
LangString TextRemoveMine ${LANG_ENGLISH} "My chosen pictures and settings of this screen saver"
LangString TextRemoveMine ${LANG_JAPANESE} "このスクリーン セーバーで選んだ写真と設定"

; True (in $R0: 1) when the text names our installed program, in its long
; or its short (8.3) spelling; letter case does not count. Call it before
; the program file is removed: the short spelling needs the file.
!macro IsOurProgram UN
Function ${UN}IsOurProgram
  Exch $0
  Push $1
  Push $2
  StrCpy $R0 0
  ${If} $0 == "$SYSDIR\${PROGRAM_NAME}"
    StrCpy $R0 1
  ${ElseIf} $0 != ""
    GetFullPathName /SHORT $1 $0
    GetFullPathName /SHORT $2 "$SYSDIR\${PROGRAM_NAME}"
    ${If} $1 != ""
    ${AndIf} $1 == $2
      StrCpy $R0 1
    ${EndIf}
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro IsOurProgram ""
!insertmacro IsOurProgram "un."

Function .onInit
  StrCpy $Reinstall 0
  ClearErrors
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "UninstallString"
  ${IfNot} ${Errors}
    StrCpy $Reinstall 1
  ${EndIf}
FunctionEnd

Section "$(TextProgram)" SectionProgram
  SectionIn RO
  SetOutPath "$SYSDIR"
  File "${PROGRAM}"
  !include "${INSTALL_FILES}"

  ${If} $Reinstall == 0
    ReadRegDWORD $0 HKLM "${SHARED_KEY}" "${SHARED_FILE}"
    ; A placeholder already there that nobody counted is someone else's:
    ; it counts once for them, so our uninstallers never remove it.
    ${If} $0 == ""
    ${AndIf} ${FileExists} "${SHARED_FILE}"
      StrCpy $0 1
    ${EndIf}
    IntOp $0 $0 + 1
    WriteRegDWORD HKLM "${SHARED_KEY}" "${SHARED_FILE}" $0
  ${EndIf}
  SetOutPath "${SHARED_DIR}"
  File "${PLACEHOLDER}"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\${PROGRAM_NAME},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SectionProgram} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(TextMakeCurrent)" SectionMakeCurrent
  ; The user's screen saver before ours, for the uninstaller to give back.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  Push $0
  Call IsOurProgram
  ${If} $R0 == 0
    ${If} $0 == ""
      DeleteRegValue HKLM "${UNINSTALL_KEY}" "PreviousScreenSaver"
    ${Else}
      WriteRegStr HKLM "${UNINSTALL_KEY}" "PreviousScreenSaver" $0
    ${EndIf}
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\${PROGRAM_NAME}"
SectionEnd

Section "un.$(TextRemoveProgram)" SectionRemoveProgram
  SectionIn RO
  ; The screen saver setting goes back to what it was only while it still
  ; names us: a saver the user has chosen since stays chosen.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  Push $0
  Call un.IsOurProgram
  ${If} $R0 == 1
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "PreviousScreenSaver"
    ${If} $1 == ""
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $1
    ${EndIf}
  ${EndIf}

  Delete /REBOOTOK "$SYSDIR\${PROGRAM_NAME}"
  !include "${UNINSTALL_FILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  ReadRegDWORD $0 HKLM "${SHARED_KEY}" "${SHARED_FILE}"
  IntOp $0 $0 - 1
  ${If} $0 > 0
    WriteRegDWORD HKLM "${SHARED_KEY}" "${SHARED_FILE}" $0
  ${Else}
    DeleteRegValue HKLM "${SHARED_KEY}" "${SHARED_FILE}"
    Delete "${SHARED_FILE}"
    RMDir "${SHARED_DIR}"
  ${EndIf}

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Off unless the user asks: the converted photos the settings made and the
; settings themselves. Only our own files are removed; a folder that holds
; anything else stays.
Section /o "un.$(TextRemoveMine)" SectionRemoveMine
  SetShellVarContext current
  StrCpy $1 "$APPDATA\${PUBLISHER}\${PRODUCT}"
  ${For} $0 1 10
    Delete "$1\photo$0.bmp"
    Delete "$1\photo$0.bmp.qvtmp"
  ${Next}
  RMDir "$1"
  RMDir "$APPDATA\${PUBLISHER}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\${PUBLISHER}"
SectionEnd
